#include "TestContent.h"

#include "platform/FileDialog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name(name)
    {
        if (const char* old = std::getenv(name))
            saved = old;
        set(value);
    }
    ~ScopedEnv() { set(saved); }

private:
    void set(const std::optional<std::string>& value) { value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> saved;
};

// A stand-in dialog program: a shell script that appends its arguments, one
// per line and then "--", to "args" beside it and runs `body`. It uses shell
// built-ins only, so PATH may hold nothing but its folder.
void writeStub(const TempDir& dir, const std::string& name, const std::string& body)
{
    dir.write(name, "#!/bin/sh\nhere=\"${0%/*}\"\n"
                    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$here/args\"; done\n"
                    "printf '%s\\n' -- >> \"$here/args\"\necho 'noise on stderr' >&2\n" + body + "\n");
    fs::permissions(dir.file(name), fs::perms::owner_all);
}

// Prints the file "answer" beside the script, byte for byte.
const std::string PrintAnswer = "while IFS= read -r line; do printf '%s\\n' \"$line\"; done < \"$here/answer\"";
const std::string ZenitySaveArgs = "--file-selection\n--title\nSave map\n--save\n--confirm-overwrite\n--\n";

// A choice as one comparable text: the path, "cancelled" or "failed: <reason>".
std::string describe(const FileChoice& choice)
{
    if (choice.status == FileChoice::Status::Failed)
        return "failed: " + choice.reason;
    return choice.status == FileChoice::Status::Cancelled ? "cancelled" : choice.path;
}

// Standard input is /dev/null for one scope, as for a desktop launch.
struct NullStdin
{
    const int saved = ::dup(STDIN_FILENO);
    const int null = ::open("/dev/null", O_RDONLY);
    NullStdin() { ::dup2(null, STDIN_FILENO); }
    ~NullStdin()
    {
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
        ::close(null);
    }
};
} // namespace

TEST(FileDialog, ChoosesZenityThenKdialogOnlyWithADisplay)
{
    TempDir both, kdialogOnly, notExecutable, empty;
    writeStub(both, "zenity", "exit 1");
    writeStub(both, "kdialog", "exit 1");
    writeStub(kdialogOnly, "kdialog", "exit 1");
    notExecutable.write("zenity", "#!/bin/sh\n");
    struct Case { std::string path; bool display; DialogProgram program; std::string file; };
    const Case cases[] = {
        // zenity wins wherever it stands on PATH; kdialog only without it.
        {empty.path() + ":" + kdialogOnly.path() + ":" + both.path(), true, DialogProgram::Zenity, both.file("zenity")},
        {notExecutable.path() + ":" + kdialogOnly.path(), true, DialogProgram::KDialog, kdialogOnly.file("kdialog")},
        {notExecutable.path(), true, DialogProgram::Console, ""},
        {both.path(), false, DialogProgram::Console, ""},
    };
    for (const Case& c : cases)
    {
        const DialogChoice choice = chooseDialogProgram(c.path, c.display);
        EXPECT_TRUE(choice.program == c.program && choice.path == c.file) << c.path << " display " << c.display;
    }
    // From the environment: either display variable counts.
    ScopedEnv path("PATH", both.path());
    ScopedEnv display("DISPLAY", std::nullopt);
    {
        ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_EQ(chooseDialogProgramFromEnvironment().program, DialogProgram::Zenity);
    }
    ScopedEnv wayland("WAYLAND_DISPLAY", "");
    EXPECT_EQ(chooseDialogProgramFromEnvironment().program, DialogProgram::Console);
}

TEST(FileDialog, RunsTheProgramWithItsArgumentsAndTakesNamesVerbatimRunningNothing)
{
    const std::pair<const char*, std::string> cases[] = {
        {"zenity", ZenitySaveArgs + "--file-selection\n--title\nLoad map\n--\n"},
        {"kdialog", "--title\nSave map\n--getsavefilename\n--\n--title\nLoad map\n--getopenfilename\n--\n"},
    };
    ScopedEnv display("DISPLAY", ":77");
    for (const auto& [program, args] : cases)
    {
        TempDir stub;
        writeStub(stub, program, PrintAnswer);
        ScopedEnv path("PATH", stub.path());
        const std::string marker = stub.file("ran");
        const std::string odd = "/$(touch " + marker + "); it's a \"map\" `touch " + marker + "` | & > <";
        for (const std::string& name : {stub.path() + odd, stub.path() + "/  spaced  name .txt"})
        {
            stub.write("answer", name + "\n");
            fs::remove(stub.file("args"));
            EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Save)), name);
            EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Load)), name);
            EXPECT_EQ(readFile(stub.file("args")), args);
        }
        EXPECT_FALSE(fs::exists(marker));
    }
}

TEST(FileDialog, CancelFailureAndOldOptionRejection)
{
    TempDir stub;
    stub.write("answer", "/maps/a.txt\n");
    ScopedEnv path("PATH", stub.path());
    ScopedEnv display("DISPLAY", ":77");
    // Cancel (exit 1) gives no file, even with output; any other failure
    // says so, and so does an answer that never ends.
    const std::string zenity = stub.file("zenity");
    const std::pair<std::string, std::string> cases[] = {
        {PrintAnswer + "\nexit 1", "cancelled"},
        {"exit 0", "cancelled"},
        {"exit 5", "failed: the file dialog " + zenity + " failed (exit status 5)"},
        {"while :; do echo /tmp/x; done",
         "failed: the file dialog " + zenity + " printed more than 65536 bytes, which is no file name"},
    };
    for (const auto& [body, outcome] : cases)
    {
        writeStub(stub, "zenity", body);
        EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Save)), outcome) << body;
    }
    // A zenity that refuses --confirm-overwrite is asked again without it.
    fs::remove(stub.file("args"));
    writeStub(stub, "zenity", "for a in \"$@\"; do [ \"$a\" = --confirm-overwrite ] && exit 255; done\n" + PrintAnswer);
    EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Save)), "/maps/a.txt");
    EXPECT_EQ(readFile(stub.file("args")), ZenitySaveArgs + "--file-selection\n--title\nSave map\n--save\n--\n");
    // Loading never retries: 255 is just a failure there.
    writeStub(stub, "zenity", "exit 255");
    EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Load)), "failed: the file dialog " + zenity +
                                                                   " failed (exit status 255)");

    // A stamp is saved as a map is, under its own title.
    EXPECT_EQ(dialogArguments(DialogProgram::Zenity, FileDialogPurpose::SaveStamp),
              (std::vector<std::string>{"--file-selection", "--title", "Save stamp", "--save", "--confirm-overwrite"}));

    bool started = true;
    runDialogProgram({DialogProgram::Zenity, "/nonexistent/zenity"}, FileDialogPurpose::Load, &started);
    EXPECT_FALSE(started);
}

TEST(FileDialog, ConsolePrompt)
{
    TempDir dir;
    dir.write("existing.txt", "old");
    const std::string existing = dir.file("existing.txt"), fresh = dir.file("new $(touch ran) `x`.txt");
    const std::string load = "Load map from (empty line cancels): ", save = "Save map to (empty line cancels): ";
    const std::string replace = save + existing + " exists. Replace it? (y/n): ";
    struct Case { FileDialogPurpose purpose; std::string typed, expected, prompt; };
    const Case cases[] = {
        {FileDialogPurpose::Load, fresh, fresh, load}, // no line end before the end of input
        {FileDialogPurpose::Load, "\n", "", load},
        {FileDialogPurpose::Save, fresh + "\n", fresh, save},
        {FileDialogPurpose::Save, existing + "\r\nYes\r\n", existing, replace},
        {FileDialogPurpose::Save, existing + "\nn\n", "", replace},
        {FileDialogPurpose::SaveStamp, existing + "\ny\n", existing,
         "Save stamp to (empty line cancels): " + existing + " exists. Replace it? (y/n): "},
    };
    for (const Case& c : cases)
    {
        std::istringstream in(c.typed);
        std::ostringstream out;
        EXPECT_EQ(askOnConsole(c.purpose, in, out), c.expected) << c.typed;
        EXPECT_EQ(out.str(), c.prompt) << c.typed;
    }
}

// A desktop launch: no dialog program, standard input /dev/null. (A pipe
// that answers is how the end-to-end test saves.)
TEST(FileDialog, WithoutADialogProgramOrSomeoneToAnswerTheConsoleItFails)
{
    TempDir nothing;
    ScopedEnv path("PATH", nothing.path());
    ScopedEnv display("DISPLAY", ":77");
    NullStdin desktop;
    EXPECT_EQ(describe(chooseMapFile(FileDialogPurpose::Save)),
              "failed: no file dialog is available: install zenity or kdialog");
}

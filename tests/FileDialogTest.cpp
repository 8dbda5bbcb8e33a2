#include "TestContent.h"

#include "platform/FileDialog.h"
#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (saved)
            ::setenv(name, saved->c_str(), 1);
        else
            ::unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> saved;
};

// A stand-in dialog program: a shell script that appends its arguments, one
// per line and then "--", to "args" beside it and runs `body`. It uses shell
// built-ins only, so PATH may hold nothing but its folder.
void writeStub(const TempDir& dir, const std::string& name, const std::string& body)
{
    dir.write(name, "#!/bin/sh\n"
                    "here=\"${0%/*}\"\n"
                    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$here/args\"; done\n"
                    "printf '%s\\n' -- >> \"$here/args\"\n"
                    "echo 'noise on stderr' >&2\n" +
                        body + "\n");
    fs::permissions(dir.file(name), fs::perms::owner_all);
}

// Prints the file "answer" beside the script, byte for byte.
const char* const PrintAnswer = "while IFS= read -r line; do printf '%s\\n' \"$line\"; done < \"$here/answer\"";

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(FileDialog, ChoosesZenityThenKdialogOnlyWithADisplay)
{
    TempDir both, kdialogOnly, notExecutable, empty;
    writeStub(both, "zenity", "exit 1");
    writeStub(both, "kdialog", "exit 1");
    writeStub(kdialogOnly, "kdialog", "exit 1");
    notExecutable.write("zenity", "#!/bin/sh\n");

    struct Case
    {
        std::string path;
        bool display;
        DialogProgram program;
        std::string file;
    };
    const Case cases[] = {
        {both.path(), true, DialogProgram::Zenity, both.file("zenity")},
        // zenity wins wherever it stands on PATH; kdialog only without it.
        {empty.path() + ":" + kdialogOnly.path() + ":" + both.path(), true, DialogProgram::Zenity, both.file("zenity")},
        {empty.path() + ":" + kdialogOnly.path() + ":" + notExecutable.path(), true, DialogProgram::KDialog,
         kdialogOnly.file("kdialog")},
        {notExecutable.path(), true, DialogProgram::Console, ""},
        {empty.path(), true, DialogProgram::Console, ""},
        {both.path(), false, DialogProgram::Console, ""},
        {"", true, DialogProgram::Console, ""},
    };
    for (const Case& c : cases)
    {
        const DialogChoice choice = chooseDialogProgram(c.path, c.display);
        EXPECT_EQ(choice.program, c.program) << c.path << " display " << c.display;
        EXPECT_EQ(choice.path, c.file) << c.path;
    }

    // From the environment: either display variable counts.
    ScopedEnv path("PATH", both.path());
    {
        ScopedEnv display("DISPLAY", std::nullopt);
        ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_EQ(chooseDialogProgramFromEnvironment().program, DialogProgram::Zenity);
    }
    {
        ScopedEnv display("DISPLAY", "");
        ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
        EXPECT_EQ(chooseDialogProgramFromEnvironment().program, DialogProgram::Console);
    }
}

TEST(FileDialog, RunsZenityWithTheRightArgumentsAndReadsThePath)
{
    TempDir stub;
    writeStub(stub, "zenity", PrintAnswer);
    stub.write("answer", "/home/player/maps/island.txt\n");
    ScopedEnv path("PATH", stub.path());
    ScopedEnv display("DISPLAY", ":77");

    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), "/home/player/maps/island.txt");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Load), "/home/player/maps/island.txt");
    EXPECT_EQ(readAll(stub.file("args")), "--file-selection\n--title\nSave map\n--save\n--confirm-overwrite\n--\n"
                                          "--file-selection\n--title\nLoad map\n--\n");
}

TEST(FileDialog, CancelFailureAndOldOptionRejection)
{
    TempDir stub;
    stub.write("answer", "/maps/a.txt\n");
    ScopedEnv path("PATH", stub.path());
    ScopedEnv display("DISPLAY", ":77");

    // Cancel (exit 1) and any other failure give no file, even with output.
    writeStub(stub, "zenity", std::string(PrintAnswer) + "\nexit 1");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Load), "");
    writeStub(stub, "zenity", "exit 5");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), "");
    writeStub(stub, "zenity", "exit 0");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), "");

    // A zenity that refuses --confirm-overwrite is asked again without it.
    fs::remove(stub.file("args"));
    writeStub(stub, "zenity", "for a in \"$@\"; do [ \"$a\" = --confirm-overwrite ] && exit 255; done\n" +
                                  std::string(PrintAnswer));
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), "/maps/a.txt");
    EXPECT_EQ(readAll(stub.file("args")), "--file-selection\n--title\nSave map\n--save\n--confirm-overwrite\n--\n"
                                          "--file-selection\n--title\nSave map\n--save\n--\n");
    // Loading never retries: 255 is just a failure there.
    writeStub(stub, "zenity", "exit 255");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Load), "");
}

TEST(FileDialog, KdialogArguments)
{
    TempDir stub;
    writeStub(stub, "kdialog", PrintAnswer);
    stub.write("answer", "/maps/k.txt\n");
    ScopedEnv path("PATH", stub.path());
    ScopedEnv display("DISPLAY", ":77");

    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), "/maps/k.txt");
    EXPECT_EQ(chooseMapFile(FileDialogPurpose::Load), "/maps/k.txt");
    EXPECT_EQ(readAll(stub.file("args")),
              "--title\nSave map\n--getsavefilename\n--\n--title\nLoad map\n--getopenfilename\n--\n");
}

TEST(FileDialog, FileNamesWithShellCharactersComeBackVerbatimAndRunNothing)
{
    TempDir stub;
    writeStub(stub, "zenity", PrintAnswer);
    ScopedEnv path("PATH", stub.path());
    ScopedEnv display("DISPLAY", ":77");

    const std::string marker = stub.file("ran");
    const std::string names[] = {
        stub.path() + "/$(touch " + marker + ").txt",
        stub.path() + "/map; touch " + marker,
        stub.path() + "/it's a \"map\" `touch " + marker + "` | & > <.txt",
        stub.path() + "/  spaced  name .txt",
    };
    for (const std::string& name : names)
    {
        stub.write("answer", name + "\n");
        EXPECT_EQ(chooseMapFile(FileDialogPurpose::Save), name);
        std::istringstream typed(name + "\n");
        std::ostringstream prompt;
        EXPECT_EQ(askOnConsole(FileDialogPurpose::Load, typed, prompt), name);
    }
    EXPECT_FALSE(fs::exists(marker));
}

TEST(FileDialog, ProgramsThatCannotStart)
{
    const ProgramRun run = runProgram("/nonexistent/zenity", {"--file-selection"});
    EXPECT_FALSE(run.started);

    bool started = true;
    EXPECT_EQ(runDialogProgram({DialogProgram::Zenity, "/nonexistent/zenity"}, FileDialogPurpose::Load, &started), "");
    EXPECT_FALSE(started);
}

TEST(FileDialog, ConsolePrompt)
{
    TempDir dir;
    dir.write("existing.txt", "old");
    const std::string existing = dir.file("existing.txt");
    const std::string fresh = dir.file("new.txt");

    struct Case
    {
        FileDialogPurpose purpose;
        std::string typed;
        std::string expected;
    };
    const Case cases[] = {
        {FileDialogPurpose::Load, fresh + "\n", fresh},
        {FileDialogPurpose::Load, fresh + "\r\n", fresh},
        {FileDialogPurpose::Load, fresh, fresh}, // no line end before the end of input
        {FileDialogPurpose::Load, "\n", ""},
        {FileDialogPurpose::Load, "", ""},
        {FileDialogPurpose::Load, existing + "\n", existing}, // loading asks nothing more
        {FileDialogPurpose::Save, fresh + "\n", fresh},
        {FileDialogPurpose::Save, existing + "\ny\n", existing},
        {FileDialogPurpose::Save, existing + "\r\nYes\r\n", existing},
        {FileDialogPurpose::Save, existing + "\nn\n", ""},
        {FileDialogPurpose::Save, existing + "\n\n", ""},
        {FileDialogPurpose::Save, existing + "\n", ""},
    };
    for (const Case& c : cases)
    {
        std::istringstream in(c.typed);
        std::ostringstream out;
        EXPECT_EQ(askOnConsole(c.purpose, in, out), c.expected) << c.typed;
    }

    std::istringstream in(existing + "\nn\n");
    std::ostringstream out;
    askOnConsole(FileDialogPurpose::Save, in, out);
    EXPECT_EQ(out.str(), "Save map to (empty line cancels): " + existing + " exists. Replace it? (y/n): ");
    std::istringstream none("");
    std::ostringstream loadPrompt;
    askOnConsole(FileDialogPurpose::Load, none, loadPrompt);
    EXPECT_EQ(loadPrompt.str(), "Load map from (empty line cancels): ");
}

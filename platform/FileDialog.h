#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// What the file is chosen for: saving accepts a new name and asks before
// replacing a file; loading only accepts an existing file.
enum class FileDialogPurpose
{
    Save,
    Load,
    SaveStamp, // as Save, for a stamp file
};

// Whether the file is chosen to be written (Save, SaveStamp).
constexpr bool savingPurpose(FileDialogPurpose purpose)
{
    return purpose != FileDialogPurpose::Load;
}

// Bytes of a dialog program's answer read at most. A path is short (4,096
// bytes on Linux, 32,767 UTF-16 units on Windows), so a program that prints
// more is not answering with a file name, and is stopped.
constexpr std::size_t MaxDialogAnswerBytes = 64u << 10; // bytes

// How asking for a file ended.
struct FileChoice
{
    enum class Status
    {
        Chosen,    // `path` is the file
        Cancelled, // the user chose nothing
        Failed,    // no file could be asked for; `reason` says why
    };

    // A chosen path, or Cancelled when `path` is empty.
    FileChoice(std::string path = {})
        : status(path.empty() ? Status::Cancelled : Status::Chosen), path(std::move(path))
    {
    }
    static FileChoice failed(std::string reason)
    {
        FileChoice choice;
        choice.status = Status::Failed;
        choice.reason = std::move(reason);
        return choice;
    }

    Status status;
    std::string path;   // UTF-8
    std::string reason; // only when Failed
};

// Shows the platform's modal file dialog ("Save map" / "Load map") and returns
// the full path chosen (UTF-8), Cancelled when the user chooses nothing, or
// Failed with the reason when no dialog could be shown or its answer is no
// file name. On Windows the common dialogs; on Linux zenity, else kdialog
// (only while a display is set), else a prompt on the console that reads a
// path from standard input (an empty line or end of input cancels) when
// standard input can answer: a terminal, a pipe, a file or a socket. With no
// dialog program and standard input /dev/null or closed (a desktop launch)
// it fails and says what to install.
FileChoice chooseMapFile(FileDialogPurpose purpose);

// The same, the graphical dialogs starting at `start`: a file (its folder
// open, its name proposed) or a folder ending in a separator; empty: where
// the dialog program likes. The console prompt does not use it.
FileChoice askForMapFile(FileDialogPurpose purpose, const std::string& start);

// Asks for a map file, told where to start (askForMapFile, or a test's own).
using MapFileAsker = std::function<FileChoice(FileDialogPurpose, const std::string& start)>;

// Where the dialog starts: the map's own file `mapFile` (made absolute from
// the working directory) when it has one, else the folder `home` with a
// trailing separator; empty when both are empty.
std::string dialogStartPath(const std::string& mapFile, const std::string& home);

// The dialog titles: "Save map", "Load map", "Save stamp".
const char* dialogTitle(FileDialogPurpose purpose);

// The programs that can show the dialog outside Windows.
enum class DialogProgram
{
    Zenity,
    KDialog,
    Console, // no graphical dialog: ask on the console
};

struct DialogChoice
{
    DialogProgram program = DialogProgram::Console;
    std::string path; // the program's file, for Zenity and KDialog
};

// Decides which dialog to show: zenity when it is found on `searchPath` (a
// PATH value), else kdialog, both only when `hasDisplay`; else the console.
DialogChoice chooseDialogProgram(const std::string& searchPath, bool hasDisplay);

// The same from this process's PATH, DISPLAY and WAYLAND_DISPLAY.
DialogChoice chooseDialogProgramFromEnvironment();

// The arguments (without the program name) that show the dialog for
// `purpose`. `confirmOverwrite` adds zenity's --confirm-overwrite when saving;
// a non-empty `start` is where the dialog starts (see askForMapFile).
std::vector<std::string> dialogArguments(DialogProgram program, FileDialogPurpose purpose,
                                         bool confirmOverwrite = true, const std::string& start = {});

// Runs the graphical dialog `choice` (zenity or kdialog). The chosen path
// (exit status 0); Cancelled when the user cancelled (status 1) or chose
// nothing; Failed, with the reason, for any other status, a signal, or an
// answer longer than MaxDialogAnswerBytes. `started` is false when the
// program could not be started at all. A zenity that rejects
// --confirm-overwrite (exit status 255) is asked again without it.
FileChoice runDialogProgram(const DialogChoice& choice, FileDialogPurpose purpose, bool* started = nullptr,
                            const std::string& start = {});

// Asks for a path on the console: writes a prompt to `out` and reads one line
// from `in` (a trailing '\r' is dropped, the rest is taken verbatim). An
// empty line or the end of input cancels. When saving over a file that exists,
// asks again whether to replace it; anything but an answer starting with 'y'
// or 'Y' cancels.
std::string askOnConsole(FileDialogPurpose purpose, std::istream& in, std::ostream& out);

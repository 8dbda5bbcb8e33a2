#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// What the map file is chosen for: saving accepts a new name and asks before
// replacing a file; loading only accepts an existing file.
enum class FileDialogPurpose
{
    Save,
    Load,
};

// Shows the platform's modal file dialog ("Save map" / "Load map") and returns
// the full path chosen (UTF-8), or an empty string when the user cancels or no
// dialog could be shown. On Windows the common dialogs; on Linux zenity, else
// kdialog (only while a display is set), else a prompt on the console that
// reads a path from standard input (an empty line or end of input cancels).
std::string chooseMapFile(FileDialogPurpose purpose);

// The dialog titles.
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
// `purpose`. `confirmOverwrite` adds zenity's --confirm-overwrite when saving.
std::vector<std::string> dialogArguments(DialogProgram program, FileDialogPurpose purpose,
                                         bool confirmOverwrite = true);

// Runs the graphical dialog `choice` (zenity or kdialog). The chosen path, or
// an empty string when the user cancelled or the program failed; `started` is
// false when the program could not be started at all. A zenity that rejects
// --confirm-overwrite (exit status 255) is asked again without it.
std::string runDialogProgram(const DialogChoice& choice, FileDialogPurpose purpose, bool* started = nullptr);

// Asks for a path on the console: writes a prompt to `out` and reads one line
// from `in` (a trailing '\r' is dropped, the rest is taken verbatim). An
// empty line or the end of input cancels. When saving over a file that exists,
// asks again whether to replace it; anything but an answer starting with 'y'
// or 'Y' cancels.
std::string askOnConsole(FileDialogPurpose purpose, std::istream& in, std::ostream& out);

#pragma once

#include <string>

// What the map file is chosen for: saving accepts a new name and asks before
// replacing a file; loading only accepts an existing file.
enum class FileDialogPurpose
{
    Save,
    Load,
};

// Shows the platform's modal file dialog ("Save map" / "Load map") and returns
// the full path chosen, or an empty string when the user cancels or no dialog
// could be shown. On Windows the common dialogs; on Linux zenity, else kdialog
// (only while a display is set), else a prompt on the console that reads a
// path from standard input (an empty line or end of input cancels).
std::string chooseMapFile(FileDialogPurpose purpose);

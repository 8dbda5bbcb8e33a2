#pragma once

#include <string>
#include <string_view>

// Folders of the user's own files, as UTF-8 paths without a trailing
// separator. Each is empty when the system cannot tell. They only compute
// paths; createFolder makes one exist.

// Where the game keeps files between runs (the recovery files):
// "$XDG_STATE_HOME/quillora" when XDG_STATE_HOME is an absolute path, else
// "$HOME/.local/state/quillora"; on Windows "<LocalAppData>\Quillora"
// (the known folder, else %LOCALAPPDATA%).
std::string stateFolder();

// The rule above for given values of XDG_STATE_HOME and HOME (null or empty
// when unset).
std::string stateFolderFor(const char* xdgStateHome, const char* home);

// Where the player's settings live (settings.ini):
// "$XDG_CONFIG_HOME/quillora" when XDG_CONFIG_HOME is an absolute path, else
// "$HOME/.config/quillora"; on Windows "<RoamingAppData>\Quillora" (the known
// folder, else %APPDATA%).
std::string configFolder();

// The rule above for given values of XDG_CONFIG_HOME and HOME (null or empty
// when unset).
std::string configFolderFor(const char* xdgConfigHome, const char* home);

// Where the player's own game files live (the stamps):
// "$XDG_DATA_HOME/quillora" when XDG_DATA_HOME is an absolute path, else
// "$HOME/.local/share/quillora"; on Windows "<RoamingAppData>\Quillora"
// (the known folder, else %APPDATA%), beside the settings.
std::string dataFolder();

// The rule above for given values of XDG_DATA_HOME and HOME (null or empty
// when unset).
std::string dataFolderFor(const char* xdgDataHome, const char* home);

// The stamps' folder: "stamps" in the data folder; empty when that is.
std::string stampsFolder();

// The user's home folder: $HOME; on Windows %USERPROFILE%.
std::string homeFolder();

// The user's pictures folder: XDG_PICTURES_DIR of
// "$XDG_CONFIG_HOME/user-dirs.dirs" (else "$HOME/.config/user-dirs.dirs"),
// else "$HOME/Pictures"; on Windows the known folder Pictures.
std::string picturesFolder();

// XDG_PICTURES_DIR of the text of a user-dirs.dirs file: a line
// XDG_PICTURES_DIR="$HOME/..." or XDG_PICTURES_DIR="/...", with "$HOME"
// replaced by `home`. Empty when no such line is there or its value is
// neither form.
std::string picturesFolderFromUserDirs(std::string_view text, const std::string& home);

// Makes `folder` exist, with any missing parents. Folders it creates are open
// to the user alone where the system has such permissions (0700). Returns an
// empty string on success, else the folder and the reason.
std::string createFolder(const std::string& folder);

#pragma once

#include <string>

// Where an installed game keeps its content, relative to the folder of its
// executable: the install puts the executable into <prefix>/bin and the
// content into <prefix>/share/quillora, so any prefix works. The install rules
// (packaging/CMakeLists.txt) use the same two folders.
constexpr const char* InstalledContentFromExecutableDir = "../share/quillora";

// The absolute path (UTF-8) of the running executable file, symbolic links
// resolved: /proc/self/exe on Linux, GetModuleFileNameW on Windows. Empty when
// the system cannot tell (other systems, or the call fails).
std::string executablePath();

// The content folder (UTF-8) of a game installed with its executable at
// `executable`: <folder of executable>/../share/quillora, lexically
// normalised, e.g. "/usr/bin/quillora" gives "/usr/share/quillora". Only
// computes the path; whether content is there is for the caller to check.
// Empty when `executable` is empty.
std::string installedContentDir(const std::string& executable);

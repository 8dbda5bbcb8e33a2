#pragma once

#include <string>

// The temporary files the safe writer (platform/SafeFileWriter.h) keeps
// beside the file it replaces, shared by its operating-system halves: the new
// version is "<target>.tmp-XXXXXX" (six letters or digits) and the backup is
// made as "<that>.bak" before it takes its place.
constexpr const char* BackupTemporarySuffix = ".bak";

// A fresh name for a temporary file of `target`: "<target>.tmp-XXXXXX".
std::string temporaryName(const std::string& target);

// Removes what an earlier save of `target` left behind when it was killed
// between naming its temporary files and renaming them into place. Files
// that will not go are left.
void clearStaleTemporaries(const std::string& target);

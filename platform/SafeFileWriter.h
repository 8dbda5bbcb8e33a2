#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` (UTF-8) with `bytes` without ever leaving it
// half-written or missing:
// - the bytes go to a new temporary file "<path>.tmp-XXXXXX" in the same
//   folder; every write and the close are checked and the data is flushed to
//   the disk;
// - if `path` exists, the version being replaced is kept as "<path>.bak"
//   (replacing an older one), made as a hard link or a copy, so `path` itself
//   stays in place;
// - then the temporary file is renamed over `path` in one step.
// A symbolic link at `path` is followed: the file it points to is replaced
// (and its backup is kept beside that file).
// Returns an empty string on success. On failure `path` is as it was, the
// temporary file is gone, and the result names the file and the error, e.g.
// "/maps/a.txt.tmp-Q2x9aB: No space left on device".
std::string writeFileSafely(const std::string& path, std::string_view bytes);

// The name of the backup kept of the version `writeFileSafely` replaced.
std::string backupPath(const std::string& path);


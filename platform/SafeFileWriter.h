#pragma once

#include "platform/FileResults.h"

#include <string>
#include <string_view>

// Replaces the file at `path` (UTF-8) with `bytes` without ever leaving it
// half-written or missing, in these steps:
// - symbolic links at `path` are followed to the file they name (a relative
//   link from its own folder), so the links stay links; a link to a file that
//   does not exist yet creates that file;
// - an existing file that is read-only (no write permission for anyone, or
//   none for this user) is refused, even for root, and so is anything that is
//   not a regular file;
// - temporary files that an earlier, killed save of the same file left beside
//   it ("<name>.tmp-XXXXXX" and "<name>.tmp-XXXXXX.bak", six letters or
//   digits) are removed;
// - the bytes go to a new file in the same folder, with the old file's
//   permissions (a new one's follow the umask); every write and the close are
//   checked and the data is flushed to the disk. On Linux the file has no
//   name while it is written (O_TMPFILE), so a save killed then leaves
//   nothing; it is then linked in as "<name>.tmp-XXXXXX". Elsewhere, or where
//   the folder's file system has no unnamed files, it is written under that
//   name;
// - if the file exists, the version being replaced is kept as "<name>.bak"
//   (replacing an older one), made as a hard link or a copy, so the file
//   itself stays in place;
// - then the temporary file is renamed over the file in one step.
// A save killed at any point leaves the file complete, old or new; only one
// killed between linking the temporary file in and the rename leaves it
// behind, until the next save of the same file.
// Complete, or Failed: then the file is as it was, no temporary file is left,
// and the reason names the file and the error, e.g.
// "/maps/a.txt: No space left on device".
WriteResult writeFileSafely(const std::string& path, std::string_view bytes);

// The name of the backup kept of the version `writeFileSafely` replaced.
std::string backupPath(const std::string& path);

// Creates `path` (UTF-8) as a new, empty file in one step, never opening or
// replacing anything that has the name, so no other writer can slip in
// between a check and the creation. Complete when the file is new and empty;
// Taken when something already has the name (it is untouched); Failed with
// the reason naming the file and the error.
WriteResult createNewFile(const std::string& path);

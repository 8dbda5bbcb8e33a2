#pragma once

#include <iosfwd>
#include <string>

// The command line's --export-png MAP OUT.png: draws the whole map file
// `mapFile`, read against the content at `contentRoot`, as one picture and
// writes it to `pictureFile`, without opening the game window. Returns the
// process's exit code: 0 when the picture was written, else 1 with the
// reason on `err`; progress goes to `out`.
//
// This build has no whole-map drawing yet: it writes nothing, says on `err`
// that the picture export is not available, and returns 1.
int exportMapPicture(const std::string& contentRoot, const std::string& mapFile, const std::string& pictureFile,
                     std::ostream& out, std::ostream& err);

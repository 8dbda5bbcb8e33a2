#pragma once

#include <iosfwd>
#include <string>

// The command line's conversions between map files and Tiled maps
// (mapfile/TiledMap.h), with the content at `contentRoot`, without a window
// or a display. Each returns the process's exit code: 0 when the file was
// written, saying so on `out`; 1 with "quillora: <reason>" on `err` when the
// input cannot be read (missing, damaged, not a map of this content) or the
// output cannot be written, which is then left as it was.

// --export-tmx / --export-json MAP OUT: the map file `mapFile` as the Tiled
// map `tiledFile` in its JSON form (`json`) or TMX, tile layers in
// `encoding` ("csv", "base64", "zlib", "gzip" or "zstd").
int exportTiledMap(const std::string& contentRoot, const std::string& mapFile, const std::string& tiledFile,
                   bool json, const std::string& encoding, std::ostream& out, std::ostream& err);

// --import-tmx IN OUT.map: the Tiled map `tiledFile` as the map file `mapFile`.
int importTiledMap(const std::string& contentRoot, const std::string& tiledFile, const std::string& mapFile,
                   std::ostream& out, std::ostream& err);

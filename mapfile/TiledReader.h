#pragma once

#include "mapfile/TiledMap.h"

#include <functional>
#include <string>
#include <string_view>

class ContentCatalog;

// Gives the text of the tileset file `source` (as the map names it, relative
// to the map's folder) or an empty string and `error`.
using TilesetReader = std::function<bool(const std::string& source, std::string& text, std::string& error)>;

// Reads the text of a Tiled map of `side` x `side` fields in `form`
// (MapSize for a real map; smaller for fuzzing) into `out`, checked against
// `content`: the ground types of the "under" and "ground" layers from their
// tiles' "ground" property, objects from the "objects" layer (each on the
// field under its picture's carrying corner), solid fields from any tile of
// the "solid" layer, the origin from the map properties (0 when absent).
// Reads what Tiled writes: embedded or external tilesets (through
// `readTileset`), layer data in CSV, XML tiles, base64 raw, zlib, gzip or
// zstd, layers in any order and inside groups; flip bits on ground tiles are
// ignored. Refuses with `error` ("line N: ..." for XML, "at /json/path: ..."
// for JSON, prefixed by the tileset's name for what is wrong inside one):
// text that is not XML or JSON, a map that is not orthogonal, not side x side
// or not of 16 x 16 tiles, an infinite map, a missing "under" or "ground"
// layer or an empty tile in one, a tile without our property, a ground type
// or object the content lacks, a flipped object, an object off the map or on
// a field that already has one, damaged layer data, an origin out of range.
// `out` is unspecified after a refusal.
bool parseTiledMap(std::string_view text, TiledForm form, int side, const ContentCatalog& content,
                   const TilesetReader& readTileset, StoredMap& out, std::string& error);

// Reads the Tiled map file at `path` (at most MaxTiledFileBytes, as are its
// tileset files, found beside it) for a 200 x 200 map, XML or JSON by its
// extension (isTiledMapPath), else by its first character ('<' or '{'): parseTiledMap with the
// reasons prefixed by the file's path.
bool readTiledMap(const std::string& path, const ContentCatalog& content, StoredMap& out, std::string& error);

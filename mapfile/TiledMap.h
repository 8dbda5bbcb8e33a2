#pragma once

#include "mapfile/MapFormat.h"
#include "mapfile/TiledData.h"
#include "platform/FileResults.h"

#include <cstddef>
#include <string>
#include <string_view>

class ContentPictures;

// A map for the Tiled map editor, in its XML form (TMX, tilesets ".tsx") or
// its JSON form (".tmj" or ".json", tilesets ".tsj"): an orthogonal
// 200 x 200 map of 16 x 16 tiles with the tile layers "under" and "ground"
// (the piece each field shows), the object layer "objects" (one tile object
// per object, in the game's drawing order) and the hidden tile layer "solid";
// the origin is the map's int properties "originX" and "originY".
// Tilesets carry int properties on their tiles: "ground" and "piece" (the
// piece's place in its sheet, five to a row) on ground pieces; "object",
// "fieldx" and "fieldy" on object pictures (where the carrying field's
// top-left corner lies from the tile object's position, its bottom-left
// corner, in pixels); "solid" on the solid marker.
enum class TiledForm
{
    Xml,
    Json,
};

// Bytes of a Tiled map or tileset file read at most. A busy exported map is
// a few megabytes in either form (9 MB written by Tiled as JSON with an
// object on every other field); a file several times that is not one of
// ours, and the limit keeps the parsed document of a JSON file, many times
// its size in memory, within a few hundred megabytes.
constexpr std::size_t MaxTiledFileBytes = 32u << 20; // bytes
// Groups nested in groups that are read at most: Tiled's maps seldom nest
// more than a few, and the limit keeps a crafted file from exhausting the stack.
constexpr int MaxTiledGroupDepth = 100;
// Largest object picture written as a tile, pixels per side: what the game
// accepts of a content picture.
constexpr int MaxTiledTileSide = 4096; // pixels

// Whether `path` names a Tiled map by its extension (".tmx", ".tmj" or
// ".json", in any case); `form` says which form.
bool isTiledMapPath(const std::string& path, TiledForm* form = nullptr);

// Writes `map` as a Tiled map in `form` to `path`, tile layers in `encoding`, with its three
// tilesets and their pictures beside it, named after the map:
// "<stem>-ground", "<stem>-objects" and "<stem>-solid" with ".tsx" or
// ".tsj", "<stem>-ground.png", "<stem>-solid.png" and "<stem>-object-<N>.png".
// Each file is replaced as a map is saved (writeFileSafely). The pictures are
// those of `content`, the one the map's numbers were checked against.
// Complete, or Failed with the reason ("<file>: ...").
WriteResult writeTiledMap(const StoredMap& map, const ContentPictures& content, const std::string& path,
                          TiledForm form, TiledEncoding encoding);

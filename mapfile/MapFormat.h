#pragma once

#include "world/FieldMap.h"

#include <string>
#include <string_view>
#include <vector>

class GameData;

// A map file is plain text, one value per line, each line ending in "\n":
// for every field in storage order (column by column) its ground type, under
// type, object id and solid flag (0/1), then the map origin x and y.
constexpr int MapFileLinesPerField = 4;                                 // lines per field
constexpr int MapFileLineCount = FieldCount * MapFileLinesPerField + 2; // lines of a whole map: 160,002
constexpr int MaxMapOrigin = 1000000; // scene pixels; an origin must lie strictly within +-this

// A map file read and checked, waiting to be applied: the fields in storage
// order and the origin in whole scene pixels.
struct StoredMap
{
    std::vector<FieldValues> fields;
    int originX = 0;
    int originY = 0;
};

// The file text of `map`: whole numbers in decimal, the origin as printf's %g
// with 6 significant digits (so whole-pixel origins read like integers), "."
// as decimal point whatever the locale. Reads the map only.
std::string formatMap(const FieldMap& map);

// Reads the text of a map file into `out` and checks it against `content`.
// Accepts "\n" and "\r\n" line ends, leading blanks and an optional '+', and
// text after the leading number of a line ("12abc" is 12; an origin "-1184.5"
// is -1184). Lines after the 160,002nd are ignored. A solid line holds a
// number too; any number but 0 means solid.
// Refuses, returning false with `error` set to what is wrong (starting with
// "line N" where a line is at fault): fewer lines than a map has, a line
// without a leading number, a number outside int, a ground type (either
// layer) without a loaded field texture, an object id without a loaded
// definition, an origin of a million pixels or more either way (its file form
// would not read back the same). `out` is unspecified after a refusal.
bool parseMap(std::string_view text, const GameData& content, StoredMap& out, std::string& error);

// Puts a checked map into `map`: every field's types and textures (the ground
// pieces stay as they are), object and solid flag, every field marked for
// auto-tiling, then the origin. Collision rectangles, object positions and
// ground pieces follow at the map's next refresh. `stored` must have passed
// parseMap against `map`'s content; then nothing can fail halfway.
void applyMap(FieldMap& map, const StoredMap& stored);

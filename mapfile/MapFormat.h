#pragma once

#include "content/TextLines.h"
#include "world/FieldMap.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ContentCatalog;

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
// The same text for a stored map (its origin in whole pixels), of as many
// fields as it holds.
std::string formatMap(const StoredMap& map);

// Reads the text of a map file into `out` and checks it against `content`.
// Takes what the writer writes: on every line one whole number in decimal.
// Also accepts "\r\n" line ends, and blanks around a number and a '+' before
// it: they do not change what the number says, and hand-edited files may
// have them. Lines after the 160,002nd are ignored.
// Refuses, returning false with `error` set to what is wrong (starting with
// "line N" where a line is at fault): fewer lines than a map has, a line
// without a number or with more than a whole number ("5abc", "-12.75",
// "1e999", "0x10": each would read as another number than it says), a
// number outside int, a solid flag other than 0 or 1, a ground type (either
// layer) or an object id that `content` does not have, an origin of a million
// pixels or more either way (its file form would not read back the same).
// `out` is unspecified after a refusal.
bool parseMap(std::string_view text, const ContentCatalog& content, StoredMap& out, std::string& error);

// parseMap for a map of `fieldCount` fields instead of FieldCount: the same
// reader on maps small enough to check it thousands of times a second (fuzz
// targets, tests). formatMap writes a stored map of any size.
bool parseMapFields(std::string_view text, const ContentCatalog& content, std::size_t fieldCount, StoredMap& out,
                    std::string& error);

// The pieces of the reader and writer above that other text formats of
// fields share (stamp files).

// Longest text of one field: three ints of up to 11 characters, the solid
// digit and four line ends.
constexpr std::size_t MaxFieldTextBytes = 3 * 11 + 1 + 4; // bytes

// Writes the four lines of `field` (ground type, under type, object id, solid
// flag) at `out`, which has room for MaxFieldTextBytes, and returns the end.
char* writeFieldLines(char* out, const FieldValues& field);

// "line <n> <what>": how a refusal names the line at fault.
std::string lineError(int lineNumber, const std::string& what);

// Reads the next line of `lines` as one whole number, as parseMap takes it.
// On refusal `error` says why: "line N holds no number" (or more than a
// whole number, or one out of range), or, when the text has no more lines,
// "the file ends after line N, but <length>" (e.g. "a map has 18 lines").
bool readNumberLine(LineReader& lines, std::string_view length, int& value, std::string& error);

// Reads the next four lines of `lines` as one field, checked against
// `content` as parseMap checks them (DefaultGroundType is always taken).
// Refusals as readNumberLine's, or "line N names ground type 12, which has no
// field texture", "line N names object 9, which has no definition", "line N
// holds the solid flag 2, which is neither 0 nor 1". `field` is unspecified
// after a refusal.
bool readFieldLines(LineReader& lines, const ContentCatalog& content, std::string_view length, FieldValues& field,
                    std::string& error);

// Puts a checked map into `map`: every field's types and textures (the ground
// pieces stay as they are), object and solid flag, every field marked for
// auto-tiling, then the origin. Collision rectangles, object positions and
// ground pieces follow at the map's next refresh. `stored` must have passed
// parseMap against `map`'s content; then nothing can fail halfway: no step
// allocates, and the map's observers must not throw.
void applyMap(FieldMap& map, const StoredMap& stored);

#include "mapfile/MapFormat.h"

#include "content/ContentCatalog.h"
#include "content/TextLines.h"

#include <cassert>
#include <charconv>
#include <cstring>

namespace
{
// Longest origin line: %g of a float with 6 digits, e.g. "-1.23457e+38", with room to spare.
constexpr std::size_t MaxOriginTextBytes = 32;

char* writeInt(char* out, int value)
{
    out = std::to_chars(out, out + 11, value).ptr;
    *out++ = '\n';
    return out;
}

char* writeOrigin(char* out, char* end, float value)
{
    // to_chars with a precision is printf's %g in the "C" locale: the file
    // looks the same whatever locale the player runs with.
    out = std::to_chars(out, end, static_cast<double>(value), std::chars_format::general, 6).ptr;
    *out++ = '\n';
    return out;
}

bool checkGroundType(const ContentCatalog& content, int type, int lineNumber, std::string& error)
{
    // Every field of a new map has the default type, whatever the content
    // holds (it then shows as nothing): a map the game saved loads again.
    if (content.hasGroundType(type) || type == DefaultGroundType)
        return true;
    error = lineError(lineNumber, "names ground type " + std::to_string(type) + ", which has no field texture");
    return false;
}

// The text of the fields `field(0) .. field(count - 1)` and the origin.
template <typename FieldAt>
std::string formatFields(std::size_t count, FieldAt field, float originX, float originY)
{
    // Written into one buffer of the largest possible size, then cut to what
    // was used: no reallocation while 160,002 lines go in.
    std::string text(count * MaxFieldTextBytes + 2 * MaxOriginTextBytes, '\0');
    char* out = text.data();
    char* const end = out + text.size();
    for (std::size_t i = 0; i < count; ++i)
        out = writeFieldLines(out, field(i));
    out = writeOrigin(out, end, originX);
    out = writeOrigin(out, end, originY);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}
} // namespace

char* writeFieldLines(char* out, const FieldValues& field)
{
    out = writeInt(out, field.groundType);
    out = writeInt(out, field.underType);
    out = writeInt(out, field.objectId);
    *out++ = field.solid ? '1' : '0';
    *out++ = '\n';
    return out;
}

std::string lineError(int lineNumber, const std::string& what)
{
    return "line " + std::to_string(lineNumber) + " " + what;
}

bool readNumberLine(LineReader& lines, std::string_view length, int& value, std::string& error)
{
    std::string_view line;
    if (!lines.next(line))
    {
        error = "the file ends after line " + std::to_string(lines.lineNumber()) + ", but " + std::string(length);
        return false;
    }
    const NumberRead read = readNumber(line);
    value = read.value;
    switch (read.status)
    {
    case NumberStatus::Ok:
        return true;
    case NumberStatus::TrailingText:
        error = lineError(lines.lineNumber(), "holds more than a whole number");
        return false;
    case NumberStatus::NoNumber:
        error = lineError(lines.lineNumber(), "holds no number");
        return false;
    case NumberStatus::OutOfRange:
        error = lineError(lines.lineNumber(), "holds a number out of range");
        return false;
    }
    return false;
}

bool readFieldLines(LineReader& lines, const ContentCatalog& content, std::string_view length, FieldValues& field,
                    std::string& error)
{
    int solid = 0;
    if (!readNumberLine(lines, length, field.groundType, error) ||
        !checkGroundType(content, field.groundType, lines.lineNumber(), error) ||
        !readNumberLine(lines, length, field.underType, error) ||
        !checkGroundType(content, field.underType, lines.lineNumber(), error) ||
        !readNumberLine(lines, length, field.objectId, error))
        return false;
    if (!content.hasObject(field.objectId))
    {
        error = lineError(lines.lineNumber(),
                          "names object " + std::to_string(field.objectId) + ", which has no definition");
        return false;
    }
    if (!readNumberLine(lines, length, solid, error))
        return false;
    if (solid != 0 && solid != 1)
    {
        error = lineError(lines.lineNumber(),
                          "holds the solid flag " + std::to_string(solid) + ", which is neither 0 nor 1");
        return false;
    }
    field.solid = solid == 1;
    return true;
}

std::string formatMap(const FieldMap& map)
{
    const std::vector<Field>& fields = map.fields();
    return formatFields(fields.size(), [&](std::size_t i) { return fields[i].values(); }, map.origin().x,
                        map.origin().y);
}

std::string formatMap(const StoredMap& map)
{
    return formatFields(map.fields.size(), [&](std::size_t i) { return map.fields[i]; },
                        static_cast<float>(map.originX), static_cast<float>(map.originY));
}

bool parseMap(std::string_view text, const ContentCatalog& content, StoredMap& out, std::string& error)
{
    return parseMapFields(text, content, FieldCount, out, error);
}

bool parseMapFields(std::string_view text, const ContentCatalog& content, std::size_t fieldCount, StoredMap& out,
                    std::string& error)
{
    LineReader lines(text);
    const std::string length = "a map has " + std::to_string(fieldCount * MapFileLinesPerField + 2) + " lines";
    out.fields.resize(fieldCount);
    for (FieldValues& field : out.fields)
        if (!readFieldLines(lines, content, length, field, error))
            return false;
    // The origin is written in whole pixels, so a fraction or an exponent is
    // refused like any other text after the number. From a million on, the
    // file form of an origin turns into exponent notation, which would not
    // read back the same: such an origin is refused too.
    for (int* origin : {&out.originX, &out.originY})
    {
        if (!readNumberLine(lines, length, *origin, error))
            return false;
        if (*origin <= -MaxMapOrigin || *origin >= MaxMapOrigin)
        {
            error = lineError(lines.lineNumber(), "holds the origin " + std::to_string(*origin) +
                                               ", which is farther than any map can be walked");
            return false;
        }
    }
    return true;
}

void applyMap(FieldMap& map, const StoredMap& stored)
{
    assert(stored.fields.size() == static_cast<std::size_t>(FieldCount));
    if (stored.fields.size() != static_cast<std::size_t>(FieldCount))
        return;
    for (int column = 0; column < MapSize; ++column)
    {
        for (int row = 0; row < MapSize; ++row)
            map.setValues(column, row, stored.fields[static_cast<std::size_t>(FieldMap::index(column, row))]);
    }
    map.markAllForAutoTile();
    map.setOrigin(static_cast<float>(stored.originX), static_cast<float>(stored.originY));
}

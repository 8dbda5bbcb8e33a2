#include "mapfile/MapFormat.h"

#include "content/GameData.h"
#include "content/TextLines.h"

#include <charconv>
#include <cstring>

namespace
{
// Longest text of one field: three ints of up to 11 characters, the solid
// digit and four line ends.
constexpr std::size_t MaxFieldTextBytes = 3 * 11 + 1 + 4;
// Longest origin line: %g of a float with 6 digits, e.g. "-1.23457e+38", with room to spare.
constexpr std::size_t MaxOriginTextBytes = 32;

char* writeInt(char* out, char* end, int value)
{
    out = std::to_chars(out, end, value).ptr;
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

std::string lineError(int lineNumber, const std::string& what)
{
    return "line " + std::to_string(lineNumber) + " " + what;
}

// Reads the number of the next line, or says why there is none.
bool readMapNumber(LineReader& lines, int& value, std::string& error)
{
    std::string_view line;
    if (!lines.next(line))
    {
        error = "the file ends after line " + std::to_string(lines.lineNumber()) + ", but a map has " +
                std::to_string(MapFileLineCount) + " lines";
        return false;
    }
    const NumberRead read = readNumber(line);
    value = read.value;
    switch (read.status)
    {
    case NumberStatus::Ok:
    case NumberStatus::TrailingText:
        return true;
    case NumberStatus::NoNumber:
        error = lineError(lines.lineNumber(), "holds no number");
        return false;
    case NumberStatus::OutOfRange:
        error = lineError(lines.lineNumber(), "holds a number out of range");
        return false;
    }
    return false;
}

bool checkGroundType(const GameData& content, int type, int lineNumber, std::string& error)
{
    if (content.fieldTexture(type))
        return true;
    error = lineError(lineNumber, "names ground type " + std::to_string(type) + ", which has no field texture");
    return false;
}
} // namespace

std::string formatMap(const FieldMap& map)
{
    // Written into one buffer of the largest possible size, then cut to what
    // was used: no reallocation while 160,002 lines go in.
    std::string text(map.fields().size() * MaxFieldTextBytes + 2 * MaxOriginTextBytes, '\0');
    char* out = text.data();
    char* const end = out + text.size();
    for (const Field& field : map.fields())
    {
        out = writeInt(out, end, field.groundType);
        out = writeInt(out, end, field.underType);
        out = writeInt(out, end, field.object.id());
        *out++ = field.solid ? '1' : '0';
        *out++ = '\n';
    }
    const sf::Vector2f& origin = map.origin();
    out = writeOrigin(out, end, origin.x);
    out = writeOrigin(out, end, origin.y);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

bool parseMap(std::string_view text, const GameData& content, StoredMap& out, std::string& error)
{
    LineReader lines(text);
    out.fields.resize(FieldCount);
    for (FieldValues& field : out.fields)
    {
        int solid = 0;
        if (!readMapNumber(lines, field.groundType, error) ||
            !checkGroundType(content, field.groundType, lines.lineNumber(), error) ||
            !readMapNumber(lines, field.underType, error) ||
            !checkGroundType(content, field.underType, lines.lineNumber(), error) ||
            !readMapNumber(lines, field.objectId, error))
            return false;
        if (!content.object(field.objectId))
        {
            error = lineError(lines.lineNumber(),
                              "names object " + std::to_string(field.objectId) + ", which has no definition");
            return false;
        }
        if (!readMapNumber(lines, solid, error))
            return false;
        field.solid = solid != 0;
    }
    // The origin is written in whole pixels; a fraction or an exponent after
    // the leading digits is ignored like any other trailing text. From a
    // million on, the file form of an origin turns into exponent notation,
    // which would not read back the same: such an origin is refused.
    for (int* origin : {&out.originX, &out.originY})
    {
        if (!readMapNumber(lines, *origin, error))
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

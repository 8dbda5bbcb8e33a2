#include "mapfile/MapFormat.h"

#include "content/GameData.h"

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

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Walks the lines of a map file, counting them for the error messages.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : next(text.data()), end(text.data() + text.size()) {}

    // The next line without its "\n" or "\r\n"; false at the end of the text.
    bool read(std::string_view& line)
    {
        if (next == end)
            return false;
        const auto* newline = static_cast<const char*>(std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
        const char* lineEnd = newline ? newline : end;
        line = std::string_view(next, static_cast<std::size_t>(lineEnd - next));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        next = newline ? newline + 1 : end;
        ++count;
        return true;
    }

    int count = 0; // lines read so far; the number of the last one

private:
    const char* next;
    const char* end;
};

std::string lineError(int lineNumber, const std::string& what)
{
    return "line " + std::to_string(lineNumber) + " " + what;
}

// Reads the number of the next line, or says why there is none.
bool readNumber(LineReader& lines, int& value, std::string& error)
{
    std::string_view line;
    if (!lines.read(line))
    {
        error = "the file ends after line " + std::to_string(lines.count) + ", but a map has " +
                std::to_string(MapFileLineCount) + " lines";
        return false;
    }
    switch (readLineNumber(line, value))
    {
    case LeadingNumber::Ok:
        return true;
    case LeadingNumber::NoNumber:
        error = lineError(lines.count, "holds no number");
        return false;
    case LeadingNumber::OutOfRange:
        error = lineError(lines.count, "holds a number out of range");
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
    std::string text(map.fields.size() * MaxFieldTextBytes + 2 * MaxOriginTextBytes, '\0');
    char* out = text.data();
    char* const end = out + text.size();
    for (const Field& field : map.fields)
    {
        out = writeInt(out, end, field.groundType);
        out = writeInt(out, end, field.underType);
        out = writeInt(out, end, field.object ? field.object->id : 0);
        *out++ = field.solid ? '1' : '0';
        *out++ = '\n';
    }
    const sf::Vector2f& origin = map.origin();
    out = writeOrigin(out, end, origin.x);
    out = writeOrigin(out, end, origin.y);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

LeadingNumber readLineNumber(std::string_view line, int& value)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    // from_chars takes a '-' but no '+'; after a '+' a digit must follow, as
    // with atoi ("+-3" holds no number).
    if (i < line.size() && line[i] == '+')
    {
        ++i;
        if (i == line.size() || line[i] < '0' || line[i] > '9')
            return LeadingNumber::NoNumber;
    }
    const std::from_chars_result result = std::from_chars(line.data() + i, line.data() + line.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return LeadingNumber::OutOfRange;
    if (result.ec != std::errc())
        return LeadingNumber::NoNumber;
    return LeadingNumber::Ok;
}

bool parseMap(std::string_view text, const GameData& content, StoredMap& out, std::string& error)
{
    LineReader lines(text);
    out.fields.resize(FieldCount);
    for (StoredField& field : out.fields)
    {
        int solid = 0;
        if (!readNumber(lines, field.groundType, error) ||
            !checkGroundType(content, field.groundType, lines.count, error) ||
            !readNumber(lines, field.underType, error) ||
            !checkGroundType(content, field.underType, lines.count, error) ||
            !readNumber(lines, field.objectId, error))
            return false;
        if (!content.object(field.objectId))
        {
            error = lineError(lines.count,
                              "names object " + std::to_string(field.objectId) + ", which has no definition");
            return false;
        }
        if (!readNumber(lines, solid, error))
            return false;
        field.solid = solid != 0;
    }
    // The origin is written in whole pixels; a fraction or an exponent after
    // the leading digits is ignored like any other trailing text. From a
    // million on, the file form of an origin turns into exponent notation,
    // which would not read back the same: such an origin is refused.
    for (int* origin : {&out.originX, &out.originY})
    {
        if (!readNumber(lines, *origin, error))
            return false;
        if (*origin <= -MaxMapOrigin || *origin >= MaxMapOrigin)
        {
            error = lineError(lines.count, "holds the origin " + std::to_string(*origin) +
                                               ", which is farther than any map can be walked");
            return false;
        }
    }
    return true;
}

void applyMap(FieldMap& map, const StoredMap& stored)
{
    const GameData* content = map.content;
    if (!content || stored.fields.size() != map.fields.size())
        return;
    for (std::size_t i = 0; i < map.fields.size(); ++i)
    {
        Field& field = map.fields[i];
        const StoredField& values = stored.fields[i];
        // The textures change, the ground pieces stay until auto-tiling picks
        // new ones at the next refresh.
        field.groundType = values.groundType;
        if (const sf::Texture* texture = content->fieldTexture(values.groundType))
            field.groundSprite.setTexture(*texture);
        field.underType = values.underType;
        if (const sf::Texture* texture = content->fieldTexture(values.underType))
            field.underSprite.setTexture(*texture);
        field.needsAutoTile = true;
        if (const ObjectType* definition = content->object(values.objectId); definition && field.object)
            *field.object = *definition;
        field.solid = values.solid;
    }
    map.setOrigin(static_cast<float>(stored.originX), static_cast<float>(stored.originY));
}

#include "WorldFixture.h"

#include "mapfile/MapFormat.h"

#include <string>
#include <vector>

namespace
{
class MapFormat : public WorldFixture
{
};

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
} // namespace

TEST_F(MapFormat, NewMapIsExactlyTheKnownBytes)
{
    std::string expected;
    for (int i = 0; i < FieldCount; ++i)
        expected += "5\n5\n0\n0\n";
    expected += "0\n0\n";
    const std::string text = formatMap(map);
    EXPECT_EQ(text.size(), 320004u);
    EXPECT_TRUE(text == expected);
}

TEST_F(MapFormat, FieldsAreWrittenColumnByColumnThenTheOrigin)
{
    map.setValues(1, 0, {1, 2, 2, true});
    map.setValues(0, 1, {3, 4, 1, false});
    map.setValues(199, 199, {7, 5, 0, true});

    const std::vector<std::string> lines = splitLines(formatMap(map));
    ASSERT_EQ(lines.size(), std::size_t(MapFileLineCount));
    // Line numbers count from 1.
    const auto field = [&](int first) { return lines[first - 1] + lines[first] + lines[first + 1] + lines[first + 2]; };
    EXPECT_EQ(field(1), "5500");
    EXPECT_EQ(field(5), "3410");
    EXPECT_EQ(field(801), "1221");
    EXPECT_EQ(field(159997), "7501");

    const struct { float x, y; const char* text; } origins[] = {
        {-1184.f, -352.f, "\n-1184\n-352\n"},
        {-0.5f, 16.25f, "\n-0.5\n16.25\n"},
        {999999.f, -1000000.f, "\n999999\n-1e+06\n"},
    };
    for (const auto& c : origins)
    {
        map.setOrigin(c.x, c.y);
        const std::string text = formatMap(map);
        EXPECT_EQ(text.substr(text.size() - std::string(c.text).size()), c.text);
    }
}

TEST_F(MapFormat, AcceptsWhatTheFormatAllows)
{
    map.setValues(3, 4, {6, 5, 2, true});
    map.setOrigin(-1184, -352);
    const std::string written = formatMap(map);
    std::vector<std::string> loose = splitLines(written);
    const std::size_t first = FieldMap::index(3, 4) * 4;
    // Blanks around a number and a '+' do not change what it says.
    loose[first] = "  6 \t";
    loose[first + 1] = "+5";
    loose[first + 3] = " 1";
    loose[160000] = "-1184 ";
    std::string mixed; // mixed line ends in one file
    for (std::size_t i = 0; i < loose.size(); ++i)
        mixed += loose[i] + (i % 3 == 0 ? "\r\n" : "\n");

    const std::pair<std::string, const char*> cases[] = {
        {written, "as written"},
        {written.substr(0, written.size() - 1), "no line end after the last line"},
        {written + "more\nlines\n", "lines after the map"},
        {mixed, "loose lines, mixed line ends"},
    };
    for (const auto& [text, what] : cases)
    {
        SCOPED_TRACE(what);
        StoredMap stored;
        std::string error;
        ASSERT_TRUE(parseMap(text, *data, stored, error)) << error;
        const FieldValues& field = stored.fields[FieldMap::index(3, 4)];
        EXPECT_EQ(std::pair(field.groundType, field.underType), std::pair(6, 5));
        EXPECT_EQ(field.objectId, 2);
        EXPECT_TRUE(field.solid);
        EXPECT_FALSE(stored.fields[0].solid);
        EXPECT_EQ(stored.originX, -1184);
        EXPECT_EQ(stored.originY, -352);
        EXPECT_TRUE(formatMap(stored) == written) << "a stored map is written as the map it came from";
    }
}

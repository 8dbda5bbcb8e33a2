#include "TestContent.h"

#include "content/GameData.h"
#include "mapfile/MapFormat.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

namespace
{
class MapFormat : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = new TestContent();
        std::ostringstream console;
        content = new GameData(dir->path(), &console);
    }
    static void TearDownTestSuite()
    {
        delete content;
        delete dir;
    }

    static TestContent* dir;
    static GameData* content;
};
TestContent* MapFormat::dir = nullptr;
GameData* MapFormat::content = nullptr;

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const char* lineEnd = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + lineEnd;
    return text;
}
} // namespace

TEST_F(MapFormat, NewMapIsExactlyTheKnownBytes)
{
    FieldMap map(content);
    const std::string text = formatMap(map);
    ASSERT_EQ(text.size(), 320004u);

    std::string expected;
    for (int i = 0; i < FieldCount; ++i)
        expected += "5\n5\n0\n0\n";
    expected += "0\n0\n";
    EXPECT_TRUE(text == expected);
    EXPECT_EQ(text.substr(0, 8), "5\n5\n0\n0\n");
    EXPECT_EQ(text.substr(text.size() - 12), "5\n5\n0\n0\n0\n0\n"); // the last field, then the origin

    // Saving reads the map only: a second text is the same.
    EXPECT_EQ(formatMap(map), text);
}

TEST_F(MapFormat, FieldsAreWrittenColumnByColumn)
{
    FieldMap map(content);
    Field& right = map.at(1, 0);
    right.setGround(1, false);
    right.setGround(2, true);
    *right.object = *content->object(2);
    right.solid = true;
    Field& below = map.at(0, 1);
    below.setGround(3, false);
    below.setGround(4, true);
    *below.object = *content->object(1);
    Field& last = map.at(199, 199);
    last.setGround(7, false);
    last.solid = true;

    const std::vector<std::string> lines = splitLines(formatMap(map));
    ASSERT_EQ(lines.size(), std::size_t(MapFileLineCount));
    // Line numbers count from 1.
    const auto line = [&](int number) { return lines[static_cast<std::size_t>(number - 1)]; };
    EXPECT_EQ(line(801) + line(802) + line(803) + line(804), "1221");
    EXPECT_EQ(line(5) + line(6) + line(7) + line(8), "3410");
    EXPECT_EQ(line(1) + line(2) + line(3) + line(4), "5500");
    EXPECT_EQ(line(159997) + line(159998) + line(159999) + line(160000), "7501");
}

TEST_F(MapFormat, OriginIsWrittenLikePrintfG)
{
    FieldMap map(content);
    const struct
    {
        float x, y;
        const char* text;
    } cases[] = {
        {-1184.f, -352.f, "-1184\n-352\n"},
        {352.f, 0.f, "352\n0\n"},
        {-0.5f, 16.25f, "-0.5\n16.25\n"},
        {999999.f, -1000000.f, "999999\n-1e+06\n"},
    };
    for (const auto& c : cases)
    {
        map.setOrigin(c.x, c.y);
        const std::string text = formatMap(map);
        const std::string expected = c.text;
        EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
        EXPECT_EQ(text[text.size() - expected.size() - 1], '\n');
    }
}

TEST_F(MapFormat, ReadsTheLeadingNumberOfALine)
{
    const struct
    {
        const char* line;
        LeadingNumber result;
        int value;
    } cases[] = {
        {"12abc", LeadingNumber::Ok, 12},
        {" 7", LeadingNumber::Ok, 7},
        {"\t\v\f\r 8", LeadingNumber::Ok, 8},
        {"", LeadingNumber::NoNumber, 0},
        {"   ", LeadingNumber::NoNumber, 0},
        {"abc", LeadingNumber::NoNumber, 0},
        {"+3", LeadingNumber::Ok, 3},
        {"+-3", LeadingNumber::NoNumber, 0},
        {"++3", LeadingNumber::NoNumber, 0},
        {"- 3", LeadingNumber::NoNumber, 0},
        {"-0", LeadingNumber::Ok, 0},
        {"-1184.5", LeadingNumber::Ok, -1184},
        {"-1.2e+06", LeadingNumber::Ok, -1},
        {"2147483647", LeadingNumber::Ok, 2147483647},
        {"-2147483648", LeadingNumber::Ok, -2147483647 - 1},
        {"2147483648", LeadingNumber::OutOfRange, 0},
        {"99999999999", LeadingNumber::OutOfRange, 0},
        {"-99999999999x", LeadingNumber::OutOfRange, 0},
    };
    for (const auto& c : cases)
    {
        int value = -12345;
        EXPECT_EQ(readLineNumber(c.line, value), c.result) << '"' << c.line << '"';
        if (c.result == LeadingNumber::Ok)
        {
            EXPECT_EQ(value, c.value) << '"' << c.line << '"';
        }
    }
}

TEST_F(MapFormat, AcceptsWhatTheFormatAllows)
{
    FieldMap map(content);
    map.at(3, 4).setGround(6, false);
    *map.at(3, 4).object = *content->object(2);
    map.at(3, 4).solid = true;
    map.setOrigin(-1184, -352);
    std::vector<std::string> lines = splitLines(formatMap(map));

    const auto check = [&](const std::string& text, const char* what) {
        StoredMap stored;
        std::string error;
        ASSERT_TRUE(parseMap(text, *content, stored, error)) << what << ": " << error;
        const StoredField& field = stored.fields[FieldMap::index(3, 4)];
        EXPECT_EQ(field.groundType, 6) << what;
        EXPECT_EQ(field.underType, 5) << what;
        EXPECT_EQ(field.objectId, 2) << what;
        EXPECT_TRUE(field.solid) << what;
        EXPECT_FALSE(stored.fields[0].solid) << what;
        EXPECT_EQ(stored.originX, -1184) << what;
        EXPECT_EQ(stored.originY, -352) << what;
    };
    check(joinLines(lines), "as written");
    check(joinLines(lines, "\r\n"), "CRLF");
    std::string noFinalLineEnd = joinLines(lines);
    noFinalLineEnd.pop_back();
    check(noFinalLineEnd, "no line end after the last line");
    check(joinLines(lines) + "more\nlines\n", "lines after the map");

    std::vector<std::string> loose = lines;
    const std::size_t first = FieldMap::index(3, 4) * 4;
    loose[first] = "  6 ground";
    loose[first + 1] = "+5";
    loose[first + 2] = "2abc";
    loose[first + 3] = "2"; // any number but 0 is solid
    loose[160000] = "-1184.5";
    loose[160001] = "-352e0";
    // Mixed line ends in one file.
    std::string mixed;
    for (std::size_t i = 0; i < loose.size(); ++i)
        mixed += loose[i] + (i % 3 == 0 ? "\r\n" : "\n");
    check(mixed, "loose lines, mixed line ends");
}

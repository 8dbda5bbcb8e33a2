#include "content/TextLines.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

TEST(TextLines, SplitsOnLineFeedAndDropsCarriageReturnBeforeIt)
{
    LineReader reader("one\r\ntwo\n\nthree\r\n\rfour");
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    // A lone '\r' that does not end a line stays part of it.
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three", "\rfour"}));
    EXPECT_EQ(reader.lineNumber(), 5);
}

TEST(TextLines, ReadsLeadingIntegersLikeAtoiAndSaysWhatFollowed)
{
    const struct
    {
        const char* text;
        int value;
        NumberStatus status;
    } cases[] = {
        {"12", 12, NumberStatus::Ok},
        {"\t\v\f\r -3", -3, NumberStatus::Ok},
        {"+4", 4, NumberStatus::Ok},
        {"12abc", 12, NumberStatus::TrailingText},
        {" 12 \t", 12, NumberStatus::Ok},
        {"12 x", 12, NumberStatus::TrailingText},
        {"-1184.5", -1184, NumberStatus::TrailingText},
        {"-1.2e+06", -1, NumberStatus::TrailingText},
        {"", 0, NumberStatus::NoNumber},
        {"abc", 0, NumberStatus::NoNumber},
        {"- 5", 0, NumberStatus::NoNumber},
        {"+-3", 0, NumberStatus::NoNumber},
        {"2147483647", INT_MAX, NumberStatus::Ok},
        {"-2147483648", INT_MIN, NumberStatus::Ok},
        {"2147483648", INT_MAX, NumberStatus::OutOfRange},
        {"-99999999999999999999999x", INT_MIN, NumberStatus::OutOfRange},
        {"000000000000000000000042", 42, NumberStatus::Ok},
    };
    for (const auto& c : cases)
    {
        const NumberRead read = readNumber(c.text);
        EXPECT_EQ(read.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(read.status, c.status) << '"' << c.text << '"';
    }
}

#include "content/TextLines.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

TEST(TextLines, SplitsOnLineFeedAndDropsCarriageReturnBeforeIt)
{
    std::string_view text = "one\r\ntwo\n\nthree\r\n\rfour";
    std::vector<std::string> lines;
    std::string_view line;
    while (nextLine(text, line))
        lines.emplace_back(line);
    // A lone '\r' that does not end a line stays part of it.
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three", "\rfour"}));
}

TEST(TextLines, ReadsLeadingIntegersLikeAtoiWithoutOverflow)
{
    const struct
    {
        const char* text;
        int value;
    } cases[] = {
        {"12", 12},
        {"12abc", 12},
        {"  7", 7},
        {"\t-3", -3},
        {"+4", 4},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"--5", 0},
        {"3.9", 3},
        {"-1.2e+06", -1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
        {"000000000000000000000042", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLeadingInt(c.text), c.value) << '"' << c.text << '"';
}

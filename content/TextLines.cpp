#include "content/TextLines.h"

#include <climits>

bool nextLine(std::string_view& text, std::string_view& line)
{
    if (text.empty())
        return false;
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
    {
        line = text;
        text = {};
    }
    else
    {
        line = text.substr(0, end);
        text.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

int readLeadingInt(std::string_view line)
{
    std::size_t i = 0;
    // The blanks that atoi skips: space, \t, \n, \v, \f, \r.
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';

    // Accumulate toward the sign so INT_MIN itself is reachable, and stop
    // growing once past the range instead of overflowing.
    long long value = 0;
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
    {
        if (value <= limit)
            value = value * 10 + (line[i] - '0');
    }
    if (negative)
        return value >= limit ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

#include "content/TextLines.h"

#include <climits>

namespace
{
// What atoi skips: space, \t, \n, \v, \f, \r.
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
} // namespace

bool LineReader::next(std::string_view& line)
{
    if (rest.empty())
        return false;
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos)
    {
        line = rest;
        rest = {};
    }
    else
    {
        line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    ++count;
    return true;
}

NumberRead readNumber(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';

    const std::size_t firstDigit = i;
    // Accumulate toward the sign so INT_MIN itself is reachable, and stop
    // growing once past the range instead of overflowing.
    long long value = 0;
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
    {
        if (value <= limit)
            value = value * 10 + (line[i] - '0');
    }
    if (i == firstDigit)
        return {0, NumberStatus::NoNumber};

    NumberRead read;
    if (negative)
        read.value = value >= limit ? INT_MIN : static_cast<int>(-value);
    else
        read.value = value > INT_MAX ? INT_MAX : static_cast<int>(value);
    const bool outOfRange = negative ? value > limit : value > INT_MAX;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    read.status = outOfRange ? NumberStatus::OutOfRange
                             : (i < line.size() ? NumberStatus::TrailingText : NumberStatus::Ok);
    return read;
}

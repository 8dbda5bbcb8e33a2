#pragma once

#include <string_view>

// The one line reader and the one number reader of the game's text files:
// object and item definitions and map files.

// Walks the lines of a text, counting them. A line ends at '\n', which is not
// part of it, and a '\r' just before the '\n' is not part of it either, so
// files written with either line end read the same. A last line without a
// '\n' is a line too; an empty text has none.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : rest(text) {}

    // The next line; false at the end of the text.
    bool next(std::string_view& line);

    // Lines read so far: the number of the last one, counting from 1.
    int lineNumber() const { return count; }

private:
    std::string_view rest;
    int count = 0;
};

// How the leading number of a line read.
enum class NumberStatus
{
    Ok,           // a whole number with nothing but blanks after it
    TrailingText, // a whole number followed by other characters ("12abc", "-3.5", "1e9", "0x10")
    OutOfRange,   // digits beyond the int range; the value is saturated
    NoNumber,     // no digits where the number should start; the value is 0
};

struct NumberRead
{
    int value = 0;
    NumberStatus status = NumberStatus::NoNumber;
};

// Reads the leading whole number of a line the way atoi does: blanks (space,
// \t, \n, \v, \f, \r) skipped, an optional '+' or '-', the decimal digits up
// to the first other character. Blanks after the digits are no trailing text.
// Overflow policy: a number outside int saturates at INT_MIN / INT_MAX and
// says so (OutOfRange), it never wraps.
// Each file format decides what it accepts: definitions take the value
// whatever the status, map files only Ok.
NumberRead readNumber(std::string_view line);

#pragma once

#include <string_view>

// Small readers for the game's line-based text files.

// Splits off the next line of `text`: everything up to the next '\n', without
// a '\r' just before it. Advances `text` past the '\n' (or to the end).
// Returns false when `text` is already empty.
bool nextLine(std::string_view& text, std::string_view& line);

// Reads a whole number the way atoi does: leading white space, an optional
// sign, the decimal digits up to the first other character; 0 when there are
// none. Unlike atoi a number outside int saturates at INT_MIN / INT_MAX.
int readLeadingInt(std::string_view line);

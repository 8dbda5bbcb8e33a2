#pragma once

#include "platform/RegularFile.h"

#include <string>

// Slots of each numbered content table: numbers 0..9999.
constexpr int ContentSetCapacity = 10000;

// Where a numbered set ended: the number that was not there (the count of the
// set), its file, and why that file could not be used (Missing when there was
// none, Complete when the set filled every slot).
struct NumberedSetEnd
{
    int count = 0;
    std::string path;
    ReadResult result;
};

// The one rule of numbered content: "<root><prefix><N><extension>" from N = 0
// up, without gaps. Calls `load(path, N, result)` for each number while it
// returns true; the first number it refuses (setting `result` to why, when a
// file was there) ends the set, and so does ContentSetCapacity, which has no
// slot.
template <typename Load>
NumberedSetEnd walkNumberedSet(const std::string& root, const char* prefix, const char* extension, Load load)
{
    for (int number = 0;; ++number)
    {
        NumberedSetEnd end{number, root + prefix + std::to_string(number) + extension, ReadResult{}};
        if (number >= ContentSetCapacity || !load(end.path, number, end.result))
            return end;
    }
}

#pragma once

#include <string>
#include <string_view>
#include <utility>

// One kind of item, read from an ".Item" file. Items are loaded and kept; the
// game does nothing else with them yet.
class ItemType
{
public:
    ItemType(std::string name, int id) : name(std::move(name)), id(id) {}

    std::string name; // the file's first line, bytes as read
    int id;           // the number in the file's name
};

// The first line of an ".Item" file's text: up to the first '\n', without a
// '\r' before it.
std::string parseItemName(std::string_view text);

#pragma once

#include <string>

namespace sf
{
class Font;
}

enum class FontRole
{
    Sans,      // an Arial-like proportional sans
    Monospace, // a Consolas-like monospace
};

// The path of an installed font file for `role`: the Windows font folder's
// arial.ttf / consola.ttf on Windows, the best fontconfig match on Linux.
// Empty when no font can be found.
std::string findFontFile(FontRole role);

// Loads the font for `role` into `font`. When none is found or it cannot be
// read, says so on stderr and leaves `font` empty; returns whether it loaded.
bool loadSystemFont(sf::Font& font, FontRole role);

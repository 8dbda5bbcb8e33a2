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

// The files of both fonts, found once.
struct FontFiles
{
    std::string sans;
    std::string monospace;

    static FontFiles find() { return {findFontFile(FontRole::Sans), findFontFile(FontRole::Monospace)}; }
};

// Loads the font file `path` found for `role` into `font`. When `path` is
// empty (none found) or cannot be read, says so on stderr and leaves `font`
// empty; returns whether it loaded.
bool loadSystemFont(sf::Font& font, FontRole role, const std::string& path);

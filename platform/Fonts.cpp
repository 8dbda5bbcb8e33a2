#include "platform/Fonts.h"

#include <SFML/Graphics/Font.hpp>

#include <iostream>

#if defined(__unix__) && !defined(__APPLE__)
#include <fontconfig/fontconfig.h>
#endif

namespace
{
const char* roleName(FontRole role)
{
    return role == FontRole::Sans ? "sans" : "monospace";
}

#if defined(_WIN32)
std::string findFontFileImpl(FontRole role)
{
    return role == FontRole::Sans ? "c:/windows/fonts/arial.ttf" : "c:/windows/fonts/consola.ttf";
}
#elif defined(__unix__) && !defined(__APPLE__)
// Asks fontconfig for the font that best stands in for `family`, then for the
// generic family, and returns the first match that is a real file.
std::string matchFont(const char* family)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (!pattern)
        return {};
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    if (match)
    {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

std::string findFontFileImpl(FontRole role)
{
    if (!FcInit())
        return {};
    // The HUD asks for bold text; SFML emboldens the regular face itself.
    const char* wanted = role == FontRole::Sans ? "Arial:style=Regular" : "Consolas:spacing=mono:style=Regular";
    std::string path = matchFont(wanted);
    if (path.empty())
        path = matchFont(role == FontRole::Sans ? "sans-serif" : "monospace");
    return path;
}
#else
std::string findFontFileImpl(FontRole)
{
    return {};
}
#endif
} // namespace

std::string findFontFile(FontRole role)
{
    return findFontFileImpl(role);
}

bool loadSystemFont(sf::Font& font, FontRole role)
{
    const std::string path = findFontFile(role);
    if (path.empty())
    {
        std::cerr << "Quillora: no " << roleName(role)
                  << " font found; install one (for example fonts-dejavu-core), texts stay empty" << std::endl;
        return false;
    }
    if (!font.loadFromFile(path))
    {
        std::cerr << "Quillora: cannot read the " << roleName(role) << " font " << path << std::endl;
        return false;
    }
    return true;
}

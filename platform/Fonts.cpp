#include "platform/Fonts.h"

#include "platform/Console.h"

#include <SFML/Graphics/Font.hpp>

#include <ostream>

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
// Asks fontconfig for the best match of `pattern`; returns its file and
// family, or empty strings.
struct FontMatch
{
    std::string file;
    std::string family;
};

FontMatch matchFont(const char* name)
{
    FontMatch found;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (!pattern)
        return found;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result))
    {
        FcChar8* text = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch && text)
            found.file = reinterpret_cast<const char*>(text);
        if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch && text)
            found.family = reinterpret_cast<const char*>(text);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

std::string findFontFileImpl(FontRole role)
{
    if (!FcInit())
        return {};
    if (role == FontRole::Sans)
    {
        // fontconfig maps Arial to a metric twin (Liberation Sans) when one is
        // installed, else to the default sans.
        return matchFont("Arial:style=Regular").file;
    }
    // fontconfig falls back to a proportional font for a missing family, so
    // Consolas counts only if it is really there; otherwise the system's
    // monospace.
    const FontMatch consolas = matchFont("Consolas:style=Regular");
    if (consolas.family == "Consolas")
        return consolas.file;
    return matchFont("monospace:style=Regular").file;
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

bool loadSystemFont(sf::Font& font, FontRole role, const std::string& path)
{
    if (path.empty())
    {
        consoleErrors() << "Quillora: no " << roleName(role)
                  << " font found; install one (for example fonts-dejavu-core), texts stay empty" << std::endl;
        return false;
    }
    if (!font.loadFromFile(path))
    {
        consoleErrors() << "Quillora: cannot read the " << roleName(role) << " font " << path << std::endl;
        return false;
    }
    return true;
}

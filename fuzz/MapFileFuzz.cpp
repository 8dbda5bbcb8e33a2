// Any bytes as a map file. Every input is either refused, saying why, or gives
// a map that is valid (every type and object names loaded content) and that
// survives saving and loading unchanged. Needs an X display for the content's textures.
#include "content/GameData.h"
#include "mapfile/MapFormat.h"
#include "world/FieldMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static std::ostringstream quiet;
    static const GameData content(QUILLORA_ASSETS_DIR, &quiet);
    static FieldMap map(&content);

    StoredMap stored, reloaded;
    std::string error;
    if (!parseMap(std::string_view(reinterpret_cast<const char*>(data), size), content, stored, error))
    {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const FieldValues& field : stored.fields)
        if (!content.fieldTexture(field.groundType) || !content.fieldTexture(field.underType) ||
            !content.object(field.objectId))
            std::abort();
    applyMap(map, stored);
    map.refresh();
    const std::string saved = formatMap(map);
    if (!parseMap(saved, content, reloaded, error) || reloaded.fields != stored.fields ||
        reloaded.originX != stored.originX || reloaded.originY != stored.originY)
        std::abort();
    applyMap(map, reloaded);
    if (formatMap(map) != saved)
        std::abort();
    return 0;
}

// Any bytes as a Tiled map: the first byte chooses the form (even: XML, odd:
// JSON), the rest is the map's text, read as a map of 2 x 2 fields against a
// description of the bundled content (ground types 0..8, objects 0..5), so
// the fuzzer reaches accepted maps in a few hundred bytes; the reader is the
// game's own with a smaller side. A tileset file named by the map reads as
// the text after the first "\n--\n" of the input. Every input is either
// refused with a reason or gives a map whose every type and object the
// content has, with an origin the map file can hold.
#include "content/ContentCatalog.h"
#include "mapfile/TiledReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ContentDescription content(9, 6);
    constexpr int Side = 2;
    if (size == 0)
        return 0;
    const TiledForm form = data[0] % 2 == 0 ? TiledForm::Xml : TiledForm::Json;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view tileset;
    if (const std::size_t split = text.find("\n--\n"); split != std::string_view::npos)
    {
        tileset = text.substr(split + 4);
        text = text.substr(0, split);
    }
    const TilesetReader readTileset = [tileset](const std::string&, std::string& bytes, std::string&) {
        bytes = std::string(tileset);
        return true;
    };
    StoredMap stored;
    std::string error;
    if (!parseTiledMap(text, form, Side, content, readTileset, stored, error))
    {
        if (error.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (stored.fields.size() != std::size_t{Side * Side} || stored.originX <= -MaxMapOrigin ||
        stored.originX >= MaxMapOrigin || stored.originY <= -MaxMapOrigin || stored.originY >= MaxMapOrigin)
        std::abort();
    for (const FieldValues& field : stored.fields)
    {
        if (!content.hasGroundType(field.groundType) || !content.hasGroundType(field.underType) ||
            !content.hasObject(field.objectId))
            std::abort();
    }
    return 0;
}

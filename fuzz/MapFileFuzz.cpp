// Any bytes as a map file, checked against a description of the bundled
// content (ground types 0..8, objects 0..5), so no display is needed, and
// read as a map of four fields, so a whole map is 18 lines and the fuzzer
// reaches the origin and the accepted map in every few hundred bytes; the
// reader is the game's own, with a smaller field count. Every input is
// either refused with a reason or gives a map whose every type and object
// the content has, and whose file form reads back the same.
#include "content/ContentCatalog.h"
#include "mapfile/MapFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{
bool sameMap(const StoredMap& a, const StoredMap& b)
{
    return a.originX == b.originX && a.originY == b.originY && a.fields == b.fields;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ContentDescription content(9, 6);
    constexpr std::size_t Fields = 4;

    StoredMap stored;
    std::string error;
    if (!parseMapFields(std::string_view(reinterpret_cast<const char*>(data), size), content, Fields, stored, error))
    {
        if (error.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    for (const FieldValues& field : stored.fields)
    {
        if (!content.hasGroundType(field.groundType) || !content.hasGroundType(field.underType) ||
            !content.hasObject(field.objectId))
            std::abort();
    }
    const std::string saved = formatMap(stored);
    StoredMap reloaded;
    if (!parseMapFields(saved, content, Fields, reloaded, error) || !sameMap(stored, reloaded) ||
        formatMap(reloaded) != saved)
        std::abort();
    return 0;
}

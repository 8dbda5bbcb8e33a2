// Any bytes as an ".object" file: the reader must neither crash nor overflow,
// and placing the definition anywhere must stay defined.
#include "content/ObjectType.h"
#include "world/ObjectBox.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ObjectDefinitionLines lines = parseObjectDefinition(text);
    const ObjectType definition = makeObjectDefinition(1, nullptr, lines);
    objectBoxAt(definition, {-3200.f, 3200.f});
    objectBoxAt(definition, {1e9f, -1e9f});
    return 0;
}

// Any bytes as an ".Item" file: the name is the first line, never more.
#include "content/ItemType.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string name = parseItemName(text);
    if (name.size() > text.size() || name.find('\n') != std::string::npos)
        std::abort();
    return 0;
}

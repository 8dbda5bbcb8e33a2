// Any bytes as a stamp, checked against a description of the bundled content
// (ground types 0..8, objects 0..5). Every input is either refused with a
// reason, leaving the block as it was, or gives a block within the size
// limits whose every type and object the content has, and whose text reads
// back the same.
#include "content/ContentCatalog.h"
#include "mapfile/StampFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ContentDescription content(9, 6);
    const FieldBlock untouched(1, 1);
    FieldBlock block = untouched;
    std::string error;
    if (!parseStamp(std::string_view(reinterpret_cast<const char*>(data), size), content, block, error))
    {
        if (error.empty() || block != untouched)
            std::abort();
        return 0;
    }
    if (block.width() < 1 || block.width() > MaxStampSide || block.height() < 1 || block.height() > MaxStampSide)
        std::abort();
    for (int column = 0; column < block.width(); ++column)
        for (int row = 0; row < block.height(); ++row)
        {
            const FieldValues& field = block.at(column, row);
            if ((!content.hasGroundType(field.groundType) && field.groundType != DefaultGroundType) ||
                (!content.hasGroundType(field.underType) && field.underType != DefaultGroundType) ||
                !content.hasObject(field.objectId))
                std::abort();
        }
    FieldBlock reread;
    if (!parseStamp(formatStamp(block), content, reread, error) || reread != block)
        std::abort();
    return 0;
}

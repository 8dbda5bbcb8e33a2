// Any bytes as a recovery file: the reader either refuses them, saying why,
// or splits them into a header and a map text of exactly a map's lines that
// written again give the same bytes.
#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RecoveryContents contents;
    std::string error;
    if (!parseRecovery(text, contents, error))
    {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (std::count(contents.mapText.begin(), contents.mapText.end(), '\n') != MapFileLineCount ||
        !looksLikeRecovery(text) || formatRecovery(contents.mapPath, contents.mapText) != text)
        std::abort();
    return 0;
}

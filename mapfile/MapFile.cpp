#include "mapfile/MapFile.h"

#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"
#include "platform/SafeFileWriter.h"
#include "world/FieldMap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#ifdef _WIN32
#include <filesystem>
#endif

namespace
{
MapFileResult failed(std::string reason)
{
    MapFileResult result;
    result.status = MapFileResult::Status::Failed;
    result.reason = std::move(reason);
    return result;
}

MapFileResult cancelled()
{
    MapFileResult result;
    result.status = MapFileResult::Status::Cancelled;
    return result;
}

std::FILE* openForReading(const std::string& path)
{
#ifdef _WIN32
    return _wfopen(std::filesystem::u8path(path).c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rbe"); // "e": not inherited by dialog programs
#endif
}

// Reads `path` up to the end of its last map line (later lines are ignored
// anyway), or to its end; a recovery file always to its end, which must come
// right after the map. Returns an empty string or the reason.
std::string readMapFile(const std::string& path, std::string& text)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openForReading(path), &std::fclose);
    if (!file)
        return path + ": " + std::strerror(errno);
    constexpr std::size_t Chunk = 1u << 20;
    std::size_t lines = 0;
    for (;;)
    {
        if (text.size() >= MaxMapFileBytes)
            return path + ": too large to be a map file";
        const std::size_t start = text.size();
        text.resize(start + Chunk);
        const std::size_t count = std::fread(text.data() + start, 1, Chunk, file.get());
        text.resize(start + count);
        for (std::size_t i = start; i < text.size(); ++i)
            lines += text[i] == '\n';
        if (lines >= static_cast<std::size_t>(MapFileLineCount) && !looksLikeRecovery(text))
            return {};
        if (count < Chunk)
            break;
    }
    if (std::ferror(file.get()))
        return path + ": " + std::strerror(errno);
    return {};
}
} // namespace

MapFileResult saveMap(FieldMap& map, const MapFileChooser& choose)
{
    const std::string name = choose ? choose(FileDialogPurpose::Save) : std::string();
    if (name.empty())
        return cancelled();
    try
    {
        const std::string text = formatMap(map);
        if (std::string reason = writeFileSafely(name, text); !reason.empty())
            return failed(std::move(reason));
    }
    catch (const std::bad_alloc&)
    {
        return failed(name + ": not enough memory to save the map");
    }
    return MapFileResult(); // Complete
}

MapFileResult loadMap(FieldMap& map, const MapFileChooser& choose)
{
    const std::string name = choose ? choose(FileDialogPurpose::Load) : std::string();
    if (name.empty())
        return cancelled();
    if (!map.content())
        return failed(name + ": no content is loaded to check the map against");
    try
    {
        // Everything is read and checked before the first field changes, so a
        // bad file cannot leave half a map behind.
        std::string text;
        if (std::string reason = readMapFile(name, text); !reason.empty())
            return failed(std::move(reason));
        MapFileResult result; // Complete
        std::string error;
        std::string_view mapText = text;
        if (looksLikeRecovery(text))
        {
            RecoveryContents recovery;
            if (!parseRecovery(text, recovery, error))
                return failed(name + ": " + error);
            mapText = recovery.mapText;
            result.recovered = true;
            result.recoveredFrom = recovery.mapPath;
        }
        StoredMap stored;
        if (!parseMap(mapText, *map.content(), stored, error))
            return failed(name + ": " + error);
        applyMap(map, stored);
        return result;
    }
    catch (const std::bad_alloc&)
    {
        return failed(name + ": not enough memory to load the map");
    }
}

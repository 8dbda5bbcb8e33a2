#include "mapfile/MapFile.h"

#include "content/GameData.h"
#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"
#include "mapfile/TiledReader.h"
#include "platform/SafeFileWriter.h"
#include "world/FieldMap.h"

#include "platform/RegularFile.h"

#include <cstddef>
#include <exception>
#include <new>

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

// Asks `choose`; whatever goes wrong in the chooser comes back as a failed
// choice, never as an exception.
FileChoice askForFile(const MapFileChooser& choose, FileDialogPurpose purpose)
{
    if (!choose)
        return {};
    try
    {
        return choose(purpose);
    }
    catch (const std::bad_alloc&)
    {
        return FileChoice::failed("not enough memory to ask for a file");
    }
    catch (const std::exception& error)
    {
        return FileChoice::failed(std::string("the file dialog failed: ") + error.what());
    }
}

// Reads `path` up to the end of its last map line (later lines are ignored
// anyway), or to its end; a recovery file always to its end, which must come
// right after the map. Returns an empty string or the reason.
std::string readMapFile(const std::string& path, std::string& text)
{
    RegularFile file(path);
    constexpr std::size_t Chunk = 1u << 20; // bytes per read
    std::size_t lines = 0;
    while (file.result())
    {
        if (text.size() >= MaxMapFileBytes)
            return path + ": too large to be a map file (more than " + describeBytes(MaxMapFileBytes) +
                   " before its last map line)";
        const std::size_t start = text.size();
        if (file.read(text, Chunk) == 0)
            break;
        for (std::size_t i = start; i < text.size(); ++i)
            lines += text[i] == '\n';
        if (lines >= static_cast<std::size_t>(MapFileLineCount) && !looksLikeRecovery(text))
            break;
    }
    return file.result().reason;
}
} // namespace

MapFileResult saveMap(FieldMap& map, const MapFileChooser& choose)
{
    const FileChoice choice = askForFile(choose, FileDialogPurpose::Save);
    if (choice.status == FileChoice::Status::Failed)
        return failed(choice.reason);
    const std::string& name = choice.path;
    if (name.empty())
        return cancelled();
    try
    {
        const std::string text = formatMap(map);
        if (WriteResult written = writeFileSafely(name, text); !written)
            return failed(std::move(written.reason));
    }
    catch (const std::bad_alloc&)
    {
        return failed(name + ": not enough memory to save the map");
    }
    return MapFileResult(); // Complete
}

MapFileResult loadMap(FieldMap& map, const MapFileChooser& choose)
{
    const FileChoice choice = askForFile(choose, FileDialogPurpose::Load);
    if (choice.status == FileChoice::Status::Failed)
        return failed(choice.reason);
    const std::string& name = choice.path;
    if (name.empty())
        return cancelled();
    StoredMap stored;
    MapFileResult result = readMap(name, map.content(), stored);
    if (result.status == MapFileResult::Status::Complete)
        applyMap(map, stored);
    return result;
}

MapFileResult readMap(const std::string& name, const ContentCatalog& content, StoredMap& stored)
{
    try
    {
        // Everything is read and checked before the first field changes, so a
        // bad file cannot leave half a map behind.
        if (isTiledMapPath(name))
        {
            std::string error;
            return readTiledMap(name, content, stored, error) ? MapFileResult() : failed(std::move(error));
        }
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
        if (!parseMap(mapText, content, stored, error))
            return failed(name + ": " + error);
        return result;
    }
    catch (const std::bad_alloc&)
    {
        return failed(name + ": not enough memory to load the map");
    }
}

#pragma once

#include "platform/FileDialog.h"

#include <cstddef>
#include <functional>
#include <string>

class ContentCatalog;
class FieldMap;
struct StoredMap;

// Picks the file for a save or a load: a path, cancelled (an empty path), or
// failed with the reason. It may also throw; saving and loading report that
// as a failure too.
using MapFileChooser = std::function<FileChoice(FileDialogPurpose)>;

// How a save or a load ended, for the console line.
struct MapFileResult
{
    enum class Status
    {
        Complete,  // the whole map was written, or read and applied
        Cancelled, // the user chose no file; nothing was touched
        Failed,    // see `reason`; the file (saving) or the map (loading) is as it was
    };
    Status status = Status::Complete;
    std::string reason; // why it failed: the file's name and what went wrong, or why no file could be chosen
    // A load of a recovery file (mapfile/RecoveryFile.h): its map was never
    // saved, and `recoveredFrom` is the map's own file (empty if it had none).
    bool recovered = false;
    std::string recoveredFrom;
};

// Bytes of a map file that are read at most before its last map line: a map
// is under 2 MB, so a file that needs more is not one.
constexpr std::size_t MaxMapFileBytes = 64u << 20; // bytes

// Asks `choose` for a file (FileDialogPurpose::Save) and writes the map into
// it. The file that was there is replaced in one step and kept as
// "<name>.bak"; on failure it stays as it was. The map does not change.
MapFileResult saveMap(FieldMap& map, const MapFileChooser& choose = chooseMapFile);

// Asks `choose` for a file (FileDialogPurpose::Load) and, only when the whole
// file is a valid map for the loaded content (what readMap reads), replaces
// the map with it: types, objects, solid flags and origin; every field is
// marked for auto-tiling, and the next refresh chooses the ground pieces in
// view. On failure the map is untouched.
MapFileResult loadMap(FieldMap& map, const MapFileChooser& choose = chooseMapFile);

// Reads the map file at `path` (a map file, or a recovery file around one;
// a Tiled map, mapfile/TiledReader.h, when its name ends in ".tmx", ".tmj"
// or ".json") and checks it against `content`, into `stored`, without touching any map:
// the reading half of loadMap, with its limits and its reasons ("<path>:
// line 7: ..."). Complete or Failed; `stored` is unspecified after a failure.
MapFileResult readMap(const std::string& path, const ContentCatalog& content, StoredMap& stored);

#pragma once

#include "platform/FileDialog.h"

#include <functional>
#include <string>

class FieldMap;

// Picks the file for a save or a load; empty means cancelled.
using MapFileChooser = std::function<std::string(FileDialogPurpose)>;

// How a save or a load ended, for the console line.
struct MapFileResult
{
    enum class Status
    {
        Complete,
        Cancelled,
        Failed,
    };
    Status status = Status::Complete;
    std::string reason; // why it failed: the file's name and what went wrong
};

// Asks `choose` for a file and writes the map into it. Never damages the file
// that was there: see MapFile.cpp.
MapFileResult saveMap(FieldMap& map, const MapFileChooser& choose = chooseMapFile);

// Asks `choose` for a file and, only when the whole file is a valid map,
// replaces the map with it.
MapFileResult loadMap(FieldMap& map, const MapFileChooser& choose = chooseMapFile);

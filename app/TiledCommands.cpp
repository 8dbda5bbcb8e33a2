#include "app/TiledCommands.h"

#include "content/ContentPictures.h"
#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "mapfile/TiledMap.h"
#include "mapfile/TiledReader.h"
#include "platform/SafeFileWriter.h"

#include <new>
#include <ostream>

int exportTiledMap(const std::string& contentRoot, const std::string& mapFile, const std::string& tiledFile,
                   bool json, const std::string& encoding, std::ostream& out, std::ostream& err)
{
    TiledEncoding kind = TiledEncoding::Csv;
    if (!tiledEncodingByOption(encoding, kind))
    {
        err << "quillora: no such layer encoding: " << encoding << std::endl;
        return 1;
    }
    const ContentPictures content(contentRoot);
    StoredMap stored;
    const MapFileResult read = readMap(mapFile, content, stored);
    if (read.status != MapFileResult::Status::Complete)
    {
        err << "quillora: cannot export the map: " << read.reason << std::endl;
        return 1;
    }
    const std::string reason =
        writeTiledMap(stored, content, tiledFile, json ? TiledForm::Json : TiledForm::Xml, kind);
    if (!reason.empty())
    {
        err << "quillora: cannot write the Tiled map: " << reason << std::endl;
        return 1;
    }
    out << "--- Tiled map written: " << tiledFile << std::endl;
    return 0;
}

int importTiledMap(const std::string& contentRoot, const std::string& tiledFile, const std::string& mapFile,
                   std::ostream& out, std::ostream& err)
{
    const ContentPictures content(contentRoot);
    StoredMap stored;
    std::string error;
    if (!readTiledMap(tiledFile, content, stored, error))
    {
        err << "quillora: cannot import the map: " << error << std::endl;
        return 1;
    }
    std::string reason;
    try
    {
        reason = writeFileSafely(mapFile, formatMap(stored));
    }
    catch (const std::bad_alloc&)
    {
        reason = mapFile + ": not enough memory to write the map";
    }
    if (!reason.empty())
    {
        err << "quillora: cannot write the map: " << reason << std::endl;
        return 1;
    }
    out << "--- Map written: " << mapFile << std::endl;
    return 0;
}

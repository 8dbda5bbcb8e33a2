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
    const WriteResult written =
        writeTiledMap(stored, content, tiledFile, json ? TiledForm::Json : TiledForm::Xml, kind);
    if (!written)
    {
        err << "quillora: cannot write the Tiled map: " << written.reason << std::endl;
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
    WriteResult written;
    try
    {
        written = writeFileSafely(mapFile, formatMap(stored));
    }
    catch (const std::bad_alloc&)
    {
        written = WriteResult::failed(mapFile + ": not enough memory to write the map");
    }
    if (!written)
    {
        err << "quillora: cannot write the map: " << written.reason << std::endl;
        return 1;
    }
    out << "--- Map written: " << mapFile << std::endl;
    return 0;
}

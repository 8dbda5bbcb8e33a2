#include "app/MapPictureExport.h"

#include "app/ScreenCapture.h"
#include "content/ContentPictures.h"
#include "content/ImageFile.h"
#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "platform/SafeFileWriter.h"
#include "world/MapPicture.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <ostream>

namespace
{
// The whole map's picture (world/MapPicture) of `fields`, drawn with
// `content`, encoded as PNG and handed to `store(bytes, file)`, which writes
// it and names the file in `file`. Complete, or Failed with the encoder's or
// the store's reason.
template <typename Store>
WriteResult writeMapPicture(const std::vector<FieldValues>& fields, const ContentPictures& content, Store store,
                            std::string& file)
{
    try
    {
        const std::vector<std::uint8_t> pixels = composeMapPicture(fields, content);
        std::string bytes;
        if (WriteResult encoded = encodePng(pixels.data(), MapPictureSide, MapPictureSide, bytes); !encoded)
            return encoded;
        return store(bytes, file);
    }
    catch (const std::bad_alloc&)
    {
        return WriteResult::failed("not enough memory for a picture of the whole map");
    }
}
} // namespace

int exportMapPicture(const std::string& contentRoot, const std::string& mapFile, const std::string& pictureFile,
                     std::ostream& out, std::ostream& err)
{
    // The picture must never take the map's place (the same file, also
    // through links).
    std::error_code same;
    if (std::filesystem::equivalent(std::filesystem::u8path(mapFile), std::filesystem::u8path(pictureFile), same))
    {
        err << "quillora: " << pictureFile << " is the map itself; name another file for the picture" << std::endl;
        return 1;
    }
    const ContentPictures content(contentRoot, &err);
    StoredMap stored;
    const MapFileResult read = readMap(mapFile, content, stored);
    if (read.status != MapFileResult::Status::Complete)
    {
        err << "quillora: cannot draw the map: " << read.reason << std::endl;
        return 1;
    }
    std::string file;
    const WriteResult written = writeMapPicture(
        stored.fields, content,
        [&pictureFile](const std::string& bytes, std::string& written) {
            written = pictureFile;
            return writeFileSafely(pictureFile, bytes);
        },
        file);
    if (!written)
    {
        err << "quillora: cannot write the map picture: " << written.reason << std::endl;
        return 1;
    }
    out << "--- Map picture written: " << file << std::endl;
    return 0;
}

namespace
{
// Fills the new, empty file `name` with `bytes`; removes it when that fails.
WriteResult fillNewFile(const std::string& name, const std::string& bytes)
{
    std::ofstream stream(std::filesystem::u8path(name), std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    if (stream)
        return WriteResult();
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::u8path(name), ignored);
    return WriteResult::failed(name + ": the picture cannot be written");
}
} // namespace

MapPictureWriter::MapPictureWriter(std::string folder, std::shared_ptr<const ContentPictures> content)
    : folder(std::move(folder)), content(std::move(content))
{
}

MapPictureWriter::~MapPictureWriter()
{
    if (worker.valid())
        worker.wait();
}

bool MapPictureWriter::begin(std::vector<FieldValues> fields, const LocalTime& time)
{
    if (worker.valid() || !content)
        return false;
    worker = std::async(std::launch::async, [this, fields = std::move(fields), time] {
        MapPictureResult result;
        if (!folder.empty())
        {
            std::error_code error;
            std::filesystem::create_directories(std::filesystem::u8path(folder), error);
            if (error)
            {
                result.status = WriteResult::Status::Failed;
                result.reason = folder + ": " + error.message();
                return result;
            }
        }
        const auto store = [this, &time](const std::string& bytes, std::string& name) {
            if (WriteResult created = createCaptureFile(folder, "Map", time, ".png", name); !created)
                return created;
            return fillNewFile(name, bytes);
        };
        std::string file;
        static_cast<WriteResult&>(result) = writeMapPicture(fields, *content, store, file);
        if (result)
            result.file = file;
        return result;
    });
    return true;
}

std::optional<MapPictureResult> MapPictureWriter::finished()
{
    if (!worker.valid() || worker.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    return worker.get();
}

#pragma once

#include "platform/FileResults.h"
#include "platform/LocalTime.h"
#include "world/Field.h"

#include <future>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ContentPictures;

// The command line's --export-png MAP OUT.png: draws the whole map file
// `mapFile`, read against the content at `contentRoot` on the processor (no
// window, no display), and writes it to `pictureFile`, replacing a file of
// that name the way a map is saved (writeFileSafely: it is kept as
// "<name>.bak"). Returns the process's exit code: 0 when the picture was
// written, saying so on `out`; 1 with "quillora: <reason>" on `err` when the
// map cannot be read (missing, damaged, not a map of this content), the
// picture would replace the map itself, or it cannot be written. Content
// files that exist but cannot be used are named on `err` as the game names
// them at start ("--- Content Refused: ...").
int exportMapPicture(const std::string& contentRoot, const std::string& mapFile, const std::string& pictureFile,
                     std::ostream& out, std::ostream& err);

// How writing a picture of the map ended: Complete with the file written, or
// Failed with the reason (and no file).
struct MapPictureResult : WriteResult
{
    std::string file; // the file written; empty when it failed
};

// The game's map picture key: writes a picture of the map as it is at the
// press, into "Map-<day>-<month>-<year>-<hour>-<minute>-<second>.png" of its
// folder (a free name, as screen captures take theirs: never replacing a
// file), on a worker thread, so the frames go on while it is drawn, encoded
// and written. One picture at a time.
class MapPictureWriter
{
public:
    // `folder`: where pictures go (UTF-8; empty: the working directory; made
    // when missing). `content` is what the pictures are drawn with.
    MapPictureWriter(std::string folder, std::shared_ptr<const ContentPictures> content);
    ~MapPictureWriter(); // waits for a picture being written
    MapPictureWriter(const MapPictureWriter&) = delete;
    MapPictureWriter& operator=(const MapPictureWriter&) = delete;

    // Begins writing the picture of `fields` (a whole map's values), named
    // after `time`. False, and nothing begins, while one is being written.
    bool begin(std::vector<FieldValues> fields, const LocalTime& time);
    bool writing() const { return worker.valid(); }
    // How the picture begun last ended, once, as soon as the worker is done;
    // empty while it works and when nothing is waiting to be told.
    std::optional<MapPictureResult> finished();

private:
    std::string folder;
    std::shared_ptr<const ContentPictures> content;
    std::future<MapPictureResult> worker;
};

#pragma once

#include "platform/FileLock.h"
#include "platform/FileResults.h"
#include "platform/TimeSource.h"

#include <cstdint>
#include <future>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

class FieldMap;

constexpr double DefaultAutosaveSeconds = 60; // seconds between writes of a map with unsaved changes
constexpr int RecoverySlots = 8;              // games that can keep recovery files side by side

// Says on `console` that recovery files are off because the game has no state
// folder (neither HOME nor an absolute XDG_STATE_HOME is set).
void reportNoStateFolder(std::ostream& console);

// Slot N's recovery file in `folder`: "<folder>/recovery-N.map". Its lock
// is "recovery-N.lock" beside it.
std::string recoveryFilePath(const std::string& folder, int slot);

// Keeps the unsaved map of a game in a recovery file of the state folder, and
// offers the one an earlier game left behind.
//
// Games running at once never write each other's files: each holds a slot of
// the folder for its whole run (an exclusive lock on recovery-N.lock, which
// the system lets go however the process ends) and writes only that slot's
// recovery-N.map. At start the game takes the lowest free slot without a
// recovery file as its own, and the newest recovery file of the other free
// slots is offered, its slot held too (so a game started meanwhile does not
// offer it as well) until it is loaded or discarded. Temporary files that an
// interrupted write left in a slot it holds are removed. A slot whose name is
// taken by something other than a regular file (a folder, a pipe, a link to a
// device) is skipped. When every free slot holds a recovery file, the oldest
// one that is not offered becomes this game's own and is replaced by its
// first write (said at start): old files never switch recovery off while no
// other game runs.
class Recovery
{
public:
    // Takes the slots in `folder`, creating the folder. `interval` is the
    // least time between two writes; zero turns the periodic writes off (the
    // write at quitting stays). Problems go to `console` as "---" lines; the
    // game then runs without a recovery file of its own.
    Recovery(const std::string& folder, sf::Time interval, const TimeSource& time, std::ostream& console);
    // Waits for a write in progress, then lets go of the slots.
    ~Recovery();

    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    // This game's recovery file; empty when it has none (no slot).
    const std::string& ownFile() const { return own; }
    // The recovery file offered at start, and the map file its map came from
    // (empty for a map that never had one). Empty once loaded or discarded.
    const std::string& offeredFile() const { return offered; }
    const std::string& offeredMapPath() const { return offeredFrom; }

    // The offered file was loaded into the map, whose revision is now
    // `revision`: it becomes this game's own recovery file, already up to
    // date. The slot the game had before is let go; a recovery file written
    // there meanwhile stays for a later start.
    void adoptOffer(std::uint64_t revision);
    // Deletes the offered file (and its backup). Failures go to the console.
    void discardOffer();

    // Once per frame: when the map has unsaved changes that its recovery file
    // does not hold yet, no write is in progress and `interval` has passed
    // since the last write began, formats the file text here and writes it on
    // a worker thread through the safe writer. Returns the milliseconds spent
    // on the calling thread (0 when no write began).
    double frame(const FieldMap& map, bool unsaved, const std::string& mapPath);
    // Whether a write is in progress.
    bool writing() const { return pending.valid(); }

    // The map is safe in its own file: waits for a write in progress, then
    // deletes this game's recovery file and its backup (not a file that an
    // earlier game left in a reused slot and this game never wrote).
    void mapSaved();

    // Why the map must not be saved as `file` (UTF-8): it lies in the state
    // folder, where the recovery files and their locks are (also through
    // links). Empty when it may.
    std::string refusesSaveAs(const std::string& file) const;

    // The game quits: waits for a write in progress and, when the map has
    // unsaved changes, makes sure a recovery file holds them (writing it on
    // this thread; when this game's own file cannot be written, each other
    // free slot is tried) and says where on the console. Returns whether the
    // game may close: false the first time the changes could not be kept,
    // saying so (the player can still save); true on a second call.
    bool quit(const FieldMap& map, bool unsaved, const std::string& mapPath);
    // Whether the game quit with unsaved changes that no file holds.
    bool lost() const { return workLost; }

private:
    // Takes the result of the write in progress, when it is done or `wait`.
    void collect(bool wait);
    void removeWithBackup(const std::string& file);
    // Writes `text` into the own slot, else into the first other free slot
    // that takes it (which becomes the own one). Complete, or Failed with
    // the first failure.
    WriteResult keepAnywhere(const std::string& text);

    std::ostream& console;
    std::string folder;
    sf::Time interval;
    Stopwatch sinceWrite; // since the last write began
    std::unique_ptr<FileLock> ownLock;
    std::unique_ptr<FileLock> offerLock;
    std::string own;
    std::string offered;
    std::string offeredFrom;
    std::optional<std::uint64_t> kept; // the map revision the own file holds or is being written with
    std::future<WriteResult> pending;  // the write in progress
    bool ownWritten = false;   // the own file holds this game's map (written or adopted), not an older game's
    bool failureSaid = false;  // the last autosave failed and the console was told; said again only after a success
    bool quitRefused = false;  // a quit could not keep the changes and the game stayed open
    bool workLost = false;
};

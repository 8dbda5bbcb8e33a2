#include "app/Recovery.h"

#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/UserFolders.h"
#include "world/FieldMap.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::string slotName(int slot)
{
    return "recovery-" + std::to_string(slot);
}

// Temporary files of an interrupted write into slot `slot`: the safe writer
// names them "<file>.tmp-XXXXXX" (and "<that>.bak").
void removeLeftovers(const std::string& folder, int slot)
{
    const std::string prefix = slotName(slot) + ".map.tmp-";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(folder), error))
    {
        if (entry.path().filename().u8string().compare(0, prefix.size(), prefix) == 0)
            fs::remove(entry.path(), error);
    }
}

std::string lockPath(const std::string& folder, int slot)
{
    return (fs::u8path(folder) / fs::u8path(slotName(slot) + ".lock")).u8string();
}

// What a slot's recovery file name holds.
enum class SlotFile
{
    None,     // nothing: free to write
    Regular,  // a recovery file (or a link to a regular file)
    Unusable, // a folder, a pipe, a device, a link that leads nowhere: never written through
};

SlotFile slotFile(const std::string& file)
{
    std::error_code error;
    const fs::file_status own = fs::symlink_status(fs::u8path(file), error);
    if (own.type() == fs::file_type::not_found)
        return SlotFile::None;
    return fs::is_regular_file(fs::u8path(file), error) ? SlotFile::Regular : SlotFile::Unusable;
}

// The map file named in the header of the recovery file at `path`; empty
// when it names none or cannot be read.
std::string mapPathOf(const std::string& path)
{
    std::ifstream file(fs::u8path(path), std::ios::binary);
    std::string start(4096, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    std::string_view text = start;
    std::string mapPath, error;
    return takeRecoveryHeader(text, mapPath, error) ? mapPath : std::string();
}
} // namespace

std::string recoveryFilePath(const std::string& folder, int slot)
{
    return (fs::u8path(folder) / fs::u8path(slotName(slot) + ".map")).u8string();
}

void reportNoStateFolder(std::ostream& console)
{
    console << "--- Recovery files are off: there is no state folder (HOME is not set, and XDG_STATE_HOME is not "
               "an absolute path)"
            << std::endl;
}

Recovery::Recovery(const std::string& folder, sf::Time interval, const TimeSource& time, std::ostream& console)
    : console(console), folder(folder), interval(interval), sinceWrite(time)
{
    if (folder.empty())
    {
        reportNoStateFolder(console);
        return;
    }
    if (std::string reason = createFolder(folder); !reason.empty())
    {
        console << "--- Recovery files are off: " << reason << std::endl;
        return;
    }

    struct Left
    {
        std::unique_ptr<FileLock> lock;
        std::string file;
        fs::file_time_type written;
    };
    std::vector<Left> left;
    for (int slot = 1; slot <= RecoverySlots; ++slot)
    {
        // Lock files are made only for slots that are used: the own one, and
        // those with a recovery file to offer.
        const std::string file = recoveryFilePath(folder, slot);
        if (ownLock && slotFile(file) != SlotFile::Regular)
            continue;
        std::string reason;
        std::unique_ptr<FileLock> lock = FileLock::tryLock(lockPath(folder, slot), &reason);
        if (!lock)
        {
            if (!reason.empty())
            {
                console << "--- Recovery files are off: " << reason << std::endl;
                return;
            }
            continue; // another game holds it
        }
        removeLeftovers(folder, slot);
        // Looked at again: only now can nobody else write it.
        std::error_code error;
        switch (slotFile(file))
        {
        case SlotFile::Regular:
            left.push_back({std::move(lock), file, fs::last_write_time(fs::u8path(file), error)});
            break;
        case SlotFile::None:
            if (!ownLock)
            {
                ownLock = std::move(lock);
                own = file;
            }
            break;
        case SlotFile::Unusable:
            console << "--- Recovery: " << file << " is not a regular file; that place is skipped" << std::endl;
            break;
        }
    }

    const auto byAge = [](const Left& a, const Left& b) { return a.written < b.written; };
    std::sort(left.begin(), left.end(), byAge);
    if (!left.empty())
    {
        offerLock = std::move(left.back().lock);
        offered = left.back().file;
        offeredFrom = mapPathOf(offered);
        left.pop_back();
    }
    if (!ownLock && !left.empty())
    {
        // Every place holds a file: the oldest one nobody runs with makes room.
        ownLock = std::move(left.front().lock);
        own = left.front().file;
        console << "--- Recovery: all " << RecoverySlots << " places in " << folder
                << " hold recovery files; the oldest, " << own
                << ", is replaced when this game keeps unsaved changes" << std::endl;
    }
    if (!ownLock)
        console << "--- Recovery files are off: none of the " << RecoverySlots << " places in " << folder
                << " is free" << std::endl;
    sinceWrite.restart();
}

Recovery::~Recovery()
{
    collect(true);
}

void Recovery::collect(bool wait)
{
    if (!pending.valid())
        return;
    if (!wait && pending.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    const WriteResult written = pending.get();
    if (!written)
    {
        kept.reset(); // written again at the next chance
        // Said once, not at every interval; the next success is said too.
        if (!failureSaid)
            console << "--- Autosave Failed: " << written.reason << " (tried again at every interval)" << std::endl;
        failureSaid = true;
        return;
    }
    if (failureSaid)
        console << "--- Autosave works again: " << own << std::endl;
    failureSaid = false;
}

void Recovery::removeWithBackup(const std::string& file)
{
    for (const std::string& path : {file, backupPath(file)})
    {
        std::error_code error;
        if (!fs::remove(fs::u8path(path), error) && error)
            console << "--- Removing " << path << " failed: " << error.message() << std::endl;
    }
}

void Recovery::adoptOffer(std::uint64_t revision)
{
    if (!offerLock)
        return;
    collect(true);
    ownLock = std::move(offerLock);
    own = std::move(offered);
    offered.clear();
    offeredFrom.clear();
    kept = revision;
    ownWritten = true;
}

void Recovery::discardOffer()
{
    if (!offerLock)
        return;
    removeWithBackup(offered);
    offerLock.reset();
    offered.clear();
    offeredFrom.clear();
}

double Recovery::frame(const FieldMap& map, bool unsaved, const std::string& mapPath)
{
    collect(false);
    if (!ownLock || interval <= sf::Time::Zero || !unsaved || pending.valid() ||
        (kept && *kept == map.revision()) || sinceWrite.getElapsedTime() < interval)
        return 0;

    const auto start = std::chrono::steady_clock::now();
    std::string text = formatRecovery(mapPath, formatMap(map));
    kept = map.revision();
    ownWritten = true;
    sinceWrite.restart();
    try
    {
        pending = std::async(std::launch::async,
                             [file = own, bytes = std::move(text)] { return writeFileSafely(file, bytes); });
    }
    catch (const std::system_error& error)
    {
        kept.reset(); // no thread to write with now: the next chance tries again
        console << "--- Autosave Failed: " << error.what() << std::endl;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Recovery::mapSaved()
{
    collect(true);
    if (!ownLock || !ownWritten)
        return;
    removeWithBackup(own);
    kept.reset();
    ownWritten = false;
}

std::string Recovery::refusesSaveAs(const std::string& file) const
{
    if (folder.empty())
        return {};
    // Where the save would really land: links are followed, as the writer does.
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::u8path(file), error);
    if (error || !fs::equivalent(target.parent_path(), fs::u8path(folder), error))
        return {};
    return file + ": the game keeps its recovery files in that folder; save the map elsewhere";
}

WriteResult Recovery::keepAnywhere(const std::string& text)
{
    WriteResult first;
    if (ownLock)
    {
        first = writeFileSafely(own, text);
        if (first)
            return first;
    }
    for (int slot = 1; slot <= RecoverySlots && !folder.empty(); ++slot)
    {
        const std::string file = recoveryFilePath(folder, slot);
        if (file == own || file == offered || slotFile(file) != SlotFile::None)
            continue;
        std::unique_ptr<FileLock> lock = FileLock::tryLock(lockPath(folder, slot));
        if (!lock || slotFile(file) != SlotFile::None)
            continue;
        WriteResult written = writeFileSafely(file, text);
        if (!written)
        {
            if (first)
                first = std::move(written);
            continue;
        }
        ownLock = std::move(lock);
        own = file;
        return written;
    }
    return first ? WriteResult::failed("no place in " + folder + " is free") : first;
}

bool Recovery::quit(const FieldMap& map, bool unsaved, const std::string& mapPath)
{
    collect(true);
    if (!unsaved || (folder.empty() && !ownLock))
        return true;
    if (!kept || *kept != map.revision() || !ownLock)
    {
        const WriteResult held = keepAnywhere(formatRecovery(mapPath, formatMap(map)));
        if (!held)
        {
            if (quitRefused)
            {
                console << "--- Quitting without the unsaved map: " << held.reason << std::endl;
                workLost = true;
                return true;
            }
            quitRefused = true;
            console << "--- Keeping the unsaved map failed: " << held.reason
                    << ". The game stays open: F5 saves the map; quitting again ends it without the changes"
                    << std::endl;
            return false;
        }
        kept = map.revision();
        ownWritten = true;
    }
    console << "--- Unsaved changes kept in " << own << std::endl;
    return true;
}

#include "app/Recovery.h"

#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/UserFolders.h"
#include "world/FieldMap.h"

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

Recovery::Recovery(const std::string& folder, sf::Time interval, const TimeSource& time, std::ostream& console)
    : console(console), interval(interval), sinceWrite(time)
{
    if (folder.empty())
    {
        console << "--- Recovery files are off: there is no state folder (HOME is not set)" << std::endl;
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
        std::error_code error;
        if (ownLock && !fs::is_regular_file(fs::u8path(file), error))
            continue;
        const std::string lockPath = (fs::u8path(folder) / fs::u8path(slotName(slot) + ".lock")).u8string();
        std::string reason;
        std::unique_ptr<FileLock> lock = FileLock::tryLock(lockPath, &reason);
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
        if (fs::is_regular_file(fs::u8path(file), error))
        {
            left.push_back({std::move(lock), file, fs::last_write_time(fs::u8path(file), error)});
        }
        else if (!ownLock)
        {
            ownLock = std::move(lock);
            own = file;
        }
    }
    if (!ownLock)
        console << "--- Recovery files are off: all " << RecoverySlots << " places in " << folder << " are taken"
                << std::endl;

    Left* newest = nullptr;
    for (Left& candidate : left)
    {
        if (!newest || candidate.written > newest->written)
            newest = &candidate;
    }
    if (newest)
    {
        offerLock = std::move(newest->lock);
        offered = newest->file;
        offeredFrom = mapPathOf(offered);
    }
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
    const std::string reason = pending.get();
    if (!reason.empty())
    {
        kept.reset(); // written again at the next chance
        console << "--- Autosave Failed: " << reason << std::endl;
    }
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
    if (!ownLock)
        return;
    removeWithBackup(own);
    kept.reset();
}

void Recovery::quit(const FieldMap& map, bool unsaved, const std::string& mapPath)
{
    collect(true);
    if (!ownLock || !unsaved)
        return;
    if (!kept || *kept != map.revision())
    {
        const std::string reason = writeFileSafely(own, formatRecovery(mapPath, formatMap(map)));
        if (!reason.empty())
        {
            console << "--- Keeping the unsaved map failed: " << reason << std::endl;
            return;
        }
        kept = map.revision();
    }
    console << "--- Unsaved changes kept in " << own << std::endl;
}

// The safe writer's shared half: the temporary names and their clean-up.
// Its operating-system halves are SafeFileWriterUnix.cpp and
// SafeFileWriterWin32.cpp.
#include "platform/SafeFileWriter.h"
#include "platform/TemporaryFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>

namespace
{
constexpr const char* TemporarySuffix = ".tmp-";
constexpr std::size_t TemporaryRandomLength = 6;

bool isTemporaryOf(const std::string& fileName, const std::string& targetName)
{
    const std::string prefix = targetName + TemporarySuffix;
    if (fileName.compare(0, prefix.size(), prefix) != 0)
        return false;
    std::string rest = fileName.substr(prefix.size());
    const std::string backup = BackupTemporarySuffix;
    if (rest.size() == TemporaryRandomLength + backup.size() &&
        rest.compare(TemporaryRandomLength, backup.size(), backup) == 0)
        rest.resize(TemporaryRandomLength);
    return rest.size() == TemporaryRandomLength &&
           std::all_of(rest.begin(), rest.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}
} // namespace

std::string temporaryName(const std::string& target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Drawn from the system each time, so processes forked from one another
    // do not draw the same names.
    std::random_device random;
    std::string name = target + TemporarySuffix;
    for (std::size_t i = 0; i < TemporaryRandomLength; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

void clearStaleTemporaries(const std::string& target)
{
    namespace fs = std::filesystem;
    const fs::path file = fs::u8path(target);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string targetName = file.filename().u8string();
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
    {
        std::error_code ignored; // a file that will not go is no reason not to save
        if (isTemporaryOf(entry->path().filename().u8string(), targetName))
            fs::remove(entry->path(), ignored);
    }
}

std::string backupPath(const std::string& path)
{
    return path + ".bak";
}


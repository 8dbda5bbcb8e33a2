#include "platform/SafeFileWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include "platform/WindowsApi.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
// Temporary files are "<target>.tmp-XXXXXX" (six letters or digits), and the
// backup is made as "<that>.bak" before it takes its place.
constexpr const char* TemporarySuffix = ".tmp-";
constexpr std::size_t TemporaryRandomLength = 6;
constexpr const char* BackupTemporarySuffix = ".bak";

// A fresh name for a temporary file of `target`: "<target>.tmp-XXXXXX".
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

// Removes what an earlier save of `target` left behind when it was killed
// between naming its temporary files and renaming them into place.
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
} // namespace

std::string backupPath(const std::string& path)
{
    return path + ".bak";
}

#ifdef _WIN32

namespace
{
std::wstring widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

std::string errorText(const std::string& file, DWORD code)
{
    char* message = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text = length && message ? std::string(message, length) : "error " + std::to_string(code);
    if (message)
        LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return file + ": " + text;
}

constexpr DWORD ReplaceFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
} // namespace

std::string writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return "no file name given";
    const std::wstring target = widen(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path + ": is a folder, not a file";
    // The user protected it; the move would fail with a less clear reason.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return path + ": the file is read-only";

    // A fresh name beside the target; CREATE_NEW never opens a file that is there.
    clearStaleTemporaries(path);
    std::string tempName;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt)
    {
        tempName = temporaryName(path);
        file = CreateFileW(widen(tempName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return errorText(path, GetLastError()) + " (cannot create a temporary file beside it)";
    }
    if (file == INVALID_HANDLE_VALUE)
        return path + ": cannot create a temporary file beside it";
    const std::wstring temp = widen(tempName);

    const auto fail = [&](const std::string& reason) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        DeleteFileW(temp.c_str());
        return reason;
    };
    while (!bytes.empty())
    {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return fail(errorText(path, GetLastError()));
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file))
        return fail(errorText(path, GetLastError()));
    const BOOL closed = CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    if (!closed)
        return fail(errorText(path, GetLastError()));

    if (exists)
    {
        const std::string backupTempName = tempName + BackupTemporarySuffix;
        const std::wstring backupTemp = widen(backupTempName);
        if (!CreateHardLinkW(backupTemp.c_str(), target.c_str(), nullptr) &&
            !CopyFileW(target.c_str(), backupTemp.c_str(), FALSE))
            return fail(errorText(backupTempName, GetLastError()));
        if (!MoveFileExW(backupTemp.c_str(), widen(backupPath(path)).c_str(), ReplaceFlags))
        {
            const DWORD code = GetLastError();
            DeleteFileW(backupTemp.c_str());
            return fail(errorText(backupPath(path), code));
        }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), ReplaceFlags))
        return fail(errorText(path, GetLastError()));
    return {};
}

NewFileStatus createNewFile(const std::string& path, std::string& reason)
{
    const HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
    {
        CloseHandle(file);
        return NewFileStatus::Created;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
        return NewFileStatus::Taken;
    reason = errorText(path, code);
    return NewFileStatus::Failed;
}

#else

namespace
{
// Symbolic links followed at most on the way to the file, as the system's own limit.
constexpr int MaxLinkHops = 40;

std::string errorText(const std::string& file, int error)
{
    return file + ": " + std::strerror(error);
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that `path` names after following its symbolic links, whether or
// not that file exists yet; a relative link counts from the link's folder.
// Returns an empty string or the reason.
std::string followLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0;; ++hops)
    {
        struct stat info;
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return {};
        if (hops == MaxLinkHops)
            return errorText(path, ELOOP);
        std::string text(256, '\0');
        for (;;)
        {
            const ssize_t length = ::readlink(target.c_str(), text.data(), text.size());
            if (length < 0)
                return errorText(target, errno);
            if (static_cast<std::size_t>(length) < text.size())
            {
                text.resize(static_cast<std::size_t>(length));
                break;
            }
            text.resize(text.size() * 2);
        }
        target = text.empty() || text[0] == '/' ? text : folderOf(target) + "/" + text;
    }
}

// Writes all of `bytes`, going on after partial writes and interruptions.
bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Gives the unnamed file `fd` a fresh temporary name beside `target`, in
// `temp`. Returns 0 or the error.
int nameUnnamedFile(int fd, const std::string& target, std::string& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        temp = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Writes `bytes` into a new named temporary file beside `target` with
// permissions `mode`, flushed to the disk. Returns an empty string or the
// reason, naming `target`; on failure no file is left.
std::string writeNamedTemporary(const std::string& target, std::string_view bytes, mode_t mode, std::string& temp)
{
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temp = temporaryName(target);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
    {
        const int error = errno;
        temp.clear();
        return errorText(target, error) + " (cannot create a temporary file beside it)";
    }
    std::string reason;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        reason = errorText(target, errno);
    // The close can report a failed write too (e.g. on network file systems).
    if (::close(fd) != 0 && reason.empty())
        reason = errorText(target, errno);
    return reason;
}

// The new version of a file, written and flushed but not in place yet:
// either an open file without a name (Linux's O_TMPFILE), so a process
// killed now leaves nothing behind, or a named temporary file. Whatever is
// not put in place is removed when it goes.
class NewVersion
{
public:
    NewVersion() = default;
    NewVersion(const NewVersion&) = delete;
    NewVersion& operator=(const NewVersion&) = delete;
    ~NewVersion()
    {
        if (unnamed >= 0)
            ::close(unnamed);
        if (!temp.empty())
            ::unlink(temp.c_str());
    }

    // Writes `bytes` beside `target` with permissions `mode`. Returns an
    // empty string or the reason, naming `target`.
    std::string write(const std::string& target, std::string_view bytes, mode_t mode)
    {
#ifdef O_TMPFILE
        unnamed = ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (unnamed >= 0)
        {
            if (::fchmod(unnamed, mode) == 0 && writeAll(unnamed, bytes) && ::fsync(unnamed) == 0)
                return {};
            return errorText(target, errno);
        }
        // Not on this file system: a named file instead.
#endif
        return writeNamedTemporary(target, bytes, mode, temp);
    }

    // Gives the new version its temporary name beside `target`, for the
    // rename. Where an unnamed file cannot be linked in (no /proc), the bytes
    // are written once more under a name.
    std::string name(const std::string& target, std::string_view bytes, mode_t mode)
    {
        if (unnamed < 0)
            return {};
        const int error = nameUnnamedFile(unnamed, target, temp);
        const int closed = ::close(unnamed);
        unnamed = -1;
        if (error == 0 && closed == 0)
            return {};
        if (error == 0)
            return errorText(target, errno);
        temp.clear();
        return writeNamedTemporary(target, bytes, mode, temp);
    }

    // Puts the named new version in place of `target` in one step.
    std::string replace(const std::string& target)
    {
        if (::rename(temp.c_str(), target.c_str()) != 0)
            return errorText(target, errno);
        temp.clear();
        return {};
    }

private:
    int unnamed = -1;
    std::string temp; // the temporary name, while it has one
};

// Copies `from` into the new file `to` (for folders without hard links).
// Returns an empty string or the reason.
std::string copyFile(const std::string& from, const std::string& to, mode_t mode)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errorText(from, errno);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0)
    {
        const int error = errno;
        ::close(in);
        return errorText(to, error);
    }
    std::string reason;
    char buffer[65536];
    for (;;)
    {
        const ssize_t count = ::read(in, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
        {
            reason = errorText(from, errno);
            break;
        }
        if (count == 0)
            break;
        if (!writeAll(out, std::string_view(buffer, static_cast<std::size_t>(count))))
        {
            reason = errorText(to, errno);
            break;
        }
    }
    if (reason.empty() && ::fsync(out) != 0)
        reason = errorText(to, errno);
    ::close(in);
    if (::close(out) != 0 && reason.empty())
        reason = errorText(to, errno);
    if (!reason.empty())
        ::unlink(to.c_str());
    return reason;
}

// Makes `backup` hold the current `target` without ever touching `target`.
std::string keepBackup(const std::string& target, const std::string& backup, const std::string& backupTemp,
                       mode_t mode)
{
    // A hard link costs nothing; where the folder has none, a copy.
    if (::link(target.c_str(), backupTemp.c_str()) != 0)
    {
        if (std::string reason = copyFile(target, backupTemp, mode); !reason.empty())
            return reason;
    }
    // Over the older backup in one step, so one of them is always there.
    if (::rename(backupTemp.c_str(), backup.c_str()) != 0)
    {
        const int error = errno;
        ::unlink(backupTemp.c_str());
        return errorText(backup, error);
    }
    // A rename between two names of one file (the backup already is this
    // version, after a save killed before its last step) does nothing and
    // leaves both names.
    ::unlink(backupTemp.c_str());
    return {};
}
} // namespace

std::string writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return "no file name given";

    // Through symbolic links to the file they name, so the links survive; a
    // link to a file that does not exist yet creates that file.
    std::string target;
    if (std::string reason = followLinks(path, target); !reason.empty())
        return reason;

    bool exists = false;
    mode_t mode = 0666 & ~currentUmask();
    struct stat info;
    if (::stat(target.c_str(), &info) == 0)
    {
        if (!S_ISREG(info.st_mode))
            return target + ": is not a regular file";
        // The rename would replace it anyway (it needs only the folder's
        // permission), but the user protected it, even from themselves as root.
        if ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return target + ": the file is read-only";
        exists = true;
        mode = info.st_mode & 07777; // the new version keeps the old one's permissions
    }
    else if (errno != ENOENT)
    {
        return errorText(target, errno);
    }

    clearStaleTemporaries(target);
    // The backup is made while the new version has no name yet, so a save
    // killed on the way leaves a name behind only between naming and renaming.
    NewVersion version;
    std::string reason = version.write(target, bytes, mode);
    if (reason.empty() && exists)
        reason = keepBackup(target, backupPath(target), temporaryName(target) + BackupTemporarySuffix, mode);
    if (reason.empty())
        reason = version.name(target, bytes, mode);
    if (reason.empty())
        reason = version.replace(target);
    if (!reason.empty())
        return reason;

    // Makes the new name itself durable; the data already is. A failure here
    // leaves the file complete, only the rename might be undone by a crash.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

NewFileStatus createNewFile(const std::string& path, std::string& reason)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
    {
        ::close(fd);
        return NewFileStatus::Created;
    }
    if (errno == EEXIST)
        return NewFileStatus::Taken;
    reason = errorText(path, errno);
    return NewFileStatus::Failed;
}

#endif

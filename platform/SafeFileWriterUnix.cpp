// The safe writer's half for Linux and other Unix systems
// (platform/SafeFileWriter.h).
#ifndef _WIN32

#include "platform/SafeFileWriter.h"
#include "platform/TemporaryFiles.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Symbolic links followed at most on the way to the file, as the system's own limit.
constexpr int MaxLinkHops = 40;

std::string errorText(const std::string& file, int error)
{
    return file + ": " + std::strerror(error);
}

WriteResult failure(const std::string& file, int error)
{
    return WriteResult::failed(errorText(file, error));
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
WriteResult followLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0;; ++hops)
    {
        struct stat info;
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return WriteResult();
        if (hops == MaxLinkHops)
            return failure(path, ELOOP);
        std::string text(256, '\0');
        for (;;)
        {
            const ssize_t length = ::readlink(target.c_str(), text.data(), text.size());
            if (length < 0)
                return failure(target, errno);
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
// permissions `mode`, flushed to the disk. A failure names `target`; it
// leaves no file.
WriteResult writeNamedTemporary(const std::string& target, std::string_view bytes, mode_t mode, std::string& temp)
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
        return WriteResult::failed(errorText(target, error) + " (cannot create a temporary file beside it)");
    }
    WriteResult result;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        result = failure(target, errno);
    // The close can report a failed write too (e.g. on network file systems).
    if (::close(fd) != 0 && result)
        result = failure(target, errno);
    return result;
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

    // Writes `bytes` beside `target` with permissions `mode`. A failure
    // names `target`.
    WriteResult write(const std::string& target, std::string_view bytes, mode_t mode)
    {
#ifdef O_TMPFILE
        unnamed = ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (unnamed >= 0)
        {
            if (::fchmod(unnamed, mode) == 0 && writeAll(unnamed, bytes) && ::fsync(unnamed) == 0)
                return WriteResult();
            return failure(target, errno);
        }
        // Not on this file system: a named file instead.
#endif
        return writeNamedTemporary(target, bytes, mode, temp);
    }

    // Gives the new version its temporary name beside `target`, for the
    // rename. Where an unnamed file cannot be linked in (no /proc), the bytes
    // are written once more under a name.
    WriteResult name(const std::string& target, std::string_view bytes, mode_t mode)
    {
        if (unnamed < 0)
            return WriteResult();
        const int error = nameUnnamedFile(unnamed, target, temp);
        const int closed = ::close(unnamed);
        unnamed = -1;
        if (error == 0 && closed == 0)
            return WriteResult();
        if (error == 0)
            return failure(target, errno);
        temp.clear();
        return writeNamedTemporary(target, bytes, mode, temp);
    }

    // Puts the named new version in place of `target` in one step.
    WriteResult replace(const std::string& target)
    {
        if (::rename(temp.c_str(), target.c_str()) != 0)
            return failure(target, errno);
        temp.clear();
        return WriteResult();
    }

private:
    int unnamed = -1;
    std::string temp; // the temporary name, while it has one
};

// Copies `from` into the new file `to` (for folders without hard links).
WriteResult copyFile(const std::string& from, const std::string& to, mode_t mode)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return failure(from, errno);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0)
    {
        const int error = errno;
        ::close(in);
        return failure(to, error);
    }
    WriteResult result;
    char buffer[65536];
    for (;;)
    {
        const ssize_t count = ::read(in, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
        {
            result = failure(from, errno);
            break;
        }
        if (count == 0)
            break;
        if (!writeAll(out, std::string_view(buffer, static_cast<std::size_t>(count))))
        {
            result = failure(to, errno);
            break;
        }
    }
    if (result && ::fsync(out) != 0)
        result = failure(to, errno);
    ::close(in);
    if (::close(out) != 0 && result)
        result = failure(to, errno);
    if (!result)
        ::unlink(to.c_str());
    return result;
}

// Makes `backup` hold the current `target` without ever touching `target`.
WriteResult keepBackup(const std::string& target, const std::string& backup, const std::string& backupTemp,
                       mode_t mode)
{
    // A hard link costs nothing; where the folder has none, a copy.
    if (::link(target.c_str(), backupTemp.c_str()) != 0)
    {
        if (WriteResult copied = copyFile(target, backupTemp, mode); !copied)
            return copied;
    }
    // Over the older backup in one step, so one of them is always there.
    if (::rename(backupTemp.c_str(), backup.c_str()) != 0)
    {
        const int error = errno;
        ::unlink(backupTemp.c_str());
        return failure(backup, error);
    }
    // A rename between two names of one file (the backup already is this
    // version, after a save killed before its last step) does nothing and
    // leaves both names.
    ::unlink(backupTemp.c_str());
    return WriteResult();
}
} // namespace

WriteResult writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return WriteResult::failed("no file name given");

    // Through symbolic links to the file they name, so the links survive; a
    // link to a file that does not exist yet creates that file.
    std::string target;
    if (WriteResult followed = followLinks(path, target); !followed)
        return followed;

    bool exists = false;
    mode_t mode = 0666 & ~currentUmask();
    struct stat info;
    if (::stat(target.c_str(), &info) == 0)
    {
        if (!S_ISREG(info.st_mode))
            return WriteResult::failed(target + ": is not a regular file");
        // The rename would replace it anyway (it needs only the folder's
        // permission), but the user protected it, even from themselves as root.
        if ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return WriteResult::failed(target + ": the file is read-only");
        exists = true;
        mode = info.st_mode & 07777; // the new version keeps the old one's permissions
    }
    else if (errno != ENOENT)
    {
        return failure(target, errno);
    }

    clearStaleTemporaries(target);
    // The backup is made while the new version has no name yet, so a save
    // killed on the way leaves a name behind only between naming and renaming.
    NewVersion version;
    WriteResult result = version.write(target, bytes, mode);
    if (result && exists)
        result = keepBackup(target, backupPath(target), temporaryName(target) + BackupTemporarySuffix, mode);
    if (result)
        result = version.name(target, bytes, mode);
    if (result)
        result = version.replace(target);
    if (!result)
        return result;

    // Makes the new name itself durable; the data already is. A failure here
    // leaves the file complete, only the rename might be undone by a crash.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync(folder);
        ::close(folder);
    }
    return WriteResult();
}

WriteResult createNewFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
    {
        ::close(fd);
        return WriteResult();
    }
    if (errno == EEXIST)
        return WriteResult{WriteResult::Status::Taken, {}};
    return failure(path, errno);
}

#endif

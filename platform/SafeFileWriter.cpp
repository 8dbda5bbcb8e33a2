#include "platform/SafeFileWriter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <algorithm>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

    // A fresh name beside the target; CREATE_NEW never opens a file that is there.
    std::string tempName;
    HANDLE file = INVALID_HANDLE_VALUE;
    unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt)
    {
        tempName = path + ".tmp-" + std::to_string((seed + static_cast<unsigned long long>(attempt) * 7919) % 1000000);
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
            return fail(errorText(tempName, GetLastError()));
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file))
        return fail(errorText(tempName, GetLastError()));
    const BOOL closed = CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    if (!closed)
        return fail(errorText(tempName, GetLastError()));

    if (exists)
    {
        const std::string backupTempName = tempName + ".bak";
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

#else

namespace
{
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
    return {};
}
} // namespace

std::string writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return "no file name given";

    // Through a symbolic link to the file it names, so the link survives.
    std::string target = path;
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
    {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved)
            return errorText(path, errno);
        target = resolved;
        std::free(resolved);
    }

    bool exists = false;
    mode_t mode = 0666 & ~currentUmask();
    if (::stat(target.c_str(), &info) == 0)
    {
        if (!S_ISREG(info.st_mode))
            return target + ": is not a regular file";
        exists = true;
        mode = info.st_mode & 07777; // the new version keeps the old one's permissions
    }
    else if (errno != ENOENT)
    {
        return errorText(target, errno);
    }

    std::string temp = target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return errorText(target, errno) + " (cannot create a temporary file beside it)";

    std::string reason;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        reason = errorText(temp, errno);
    // The close can report a failed write too (e.g. on network file systems).
    if (::close(fd) != 0 && reason.empty())
        reason = errorText(temp, errno);

    if (reason.empty() && exists)
        reason = keepBackup(target, backupPath(target), temp + ".bak", mode);
    if (reason.empty() && ::rename(temp.c_str(), target.c_str()) != 0)
        reason = errorText(target, errno);
    if (!reason.empty())
    {
        ::unlink(temp.c_str());
        return reason;
    }

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

#endif

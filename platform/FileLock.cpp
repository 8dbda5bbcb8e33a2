#include "platform/FileLock.h"

#ifdef _WIN32
#include "platform/WindowsApi.h"

#include <filesystem>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#ifdef _WIN32

std::unique_ptr<FileLock> FileLock::tryLock(const std::string& path, std::string* error)
{
    // A file opened without sharing is the lock: no other open succeeds until
    // the handle is closed, which the system does when the process ends.
    // Handles are not inherited unless asked for.
    const HANDLE file = CreateFileW(std::filesystem::u8path(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        const DWORD code = GetLastError();
        if (error)
            *error = code == ERROR_SHARING_VIOLATION ? std::string() : path + ": error " + std::to_string(code);
        return nullptr;
    }
    if (error)
        error->clear();
    return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<std::intptr_t>(file)));
}

FileLock::~FileLock()
{
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

#else

std::unique_ptr<FileLock> FileLock::tryLock(const std::string& path, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
    {
        if (error)
            *error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    // flock belongs to the open file, not to the process: a second open of
    // the same file in this process is refused too.
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0)
    {
        const int code = errno;
        ::close(fd);
        if (error)
            *error = code == EWOULDBLOCK ? std::string() : path + ": " + std::strerror(code);
        return nullptr;
    }
    if (error)
        error->clear();
    return std::unique_ptr<FileLock>(new FileLock(fd));
}

FileLock::~FileLock()
{
    ::close(static_cast<int>(handle));
}

#endif

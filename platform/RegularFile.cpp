#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <filesystem>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace
{
ReadResult failure(ReadResult::Status status, const std::string& path, const std::string& what)
{
    return {status, path + ": " + what};
}

ReadResult fromErrno(const std::string& path, int error)
{
    // ENOTDIR: a folder on the way is a file, so this name holds no file either.
    const bool missing = error == ENOENT || error == ENOTDIR;
    return failure(missing ? ReadResult::Status::Missing : ReadResult::Status::Failed, path, std::strerror(error));
}

#ifdef _WIN32
int openDescriptor(const std::string& path)
{
    // Windows opens a named pipe or a device without waiting; the type check
    // below refuses them.
    return _wopen(std::filesystem::u8path(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

bool isRegular(int descriptor, std::size_t& size)
{
    struct _stat64 info;
    if (_fstat64(descriptor, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return false;
    size = static_cast<std::size_t>(info.st_size);
    return true;
}

long readSome(int descriptor, char* buffer, std::size_t count)
{
    return _read(descriptor, buffer, static_cast<unsigned>(std::min<std::size_t>(count, INT_MAX)));
}

void closeDescriptor(int descriptor)
{
    _close(descriptor);
}
#else
int openDescriptor(const std::string& path)
{
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
    // O_NOCTTY: a terminal named here never becomes ours. O_CLOEXEC: dialog
    // programs started later do not inherit it.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor >= 0)
    {
        // Back to ordinary blocking reads: a regular file never waits anyway,
        // and nothing else is read.
        const int flags = ::fcntl(descriptor, F_GETFL);
        if (flags != -1)
            ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    }
    return descriptor;
}

bool isRegular(int descriptor, std::size_t& size)
{
    struct stat info;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = static_cast<std::size_t>(info.st_size);
    return true;
}

long readSome(int descriptor, char* buffer, std::size_t count)
{
    ssize_t got;
    do
        got = ::read(descriptor, buffer, std::min<std::size_t>(count, SSIZE_MAX));
    while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

void closeDescriptor(int descriptor)
{
    ::close(descriptor);
}
#endif
} // namespace

RegularFile::RegularFile(const std::string& path) : path(path)
{
    descriptor = openDescriptor(path);
    if (descriptor < 0)
    {
        state = fromErrno(path, errno);
        return;
    }
    if (!isRegular(descriptor, openedSize))
    {
        state = failure(ReadResult::Status::Failed, path, "is not a regular file");
        closeDescriptor(descriptor);
        descriptor = -1;
    }
}

RegularFile::~RegularFile()
{
    if (descriptor >= 0)
        closeDescriptor(descriptor);
}

std::size_t RegularFile::read(std::string& bytes, std::size_t count)
{
    if (!state)
        return 0;
    // Through a buffer: growing `bytes` by `count` first would clear memory
    // for bytes that a small file never has.
    char buffer[1 << 16];
    const long got = readSome(descriptor, buffer, std::min(count, sizeof buffer));
    if (got < 0)
    {
        state = fromErrno(path, errno);
        state.status = ReadResult::Status::Failed;
        return 0;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
    return static_cast<std::size_t>(got);
}

ReadResult readRegularFile(const std::string& path, std::size_t limit, std::string& bytes)
{
    bytes.clear();
    RegularFile file(path);
    if (!file.result())
        return file.result();
    if (file.sizeWhenOpened() > limit) // no need to read what will be refused
        return failure(ReadResult::Status::Failed, path, "larger than " + describeBytes(limit));
    // One byte past the limit tells a file of exactly `limit` bytes from a
    // longer one (or one that grew since it was opened).
    const std::size_t wanted = limit < SIZE_MAX ? limit + 1 : limit;
    bytes.reserve(std::min(file.sizeWhenOpened() + 1, wanted));
    while (bytes.size() < wanted && file.read(bytes, wanted - bytes.size()) > 0)
    {
    }
    ReadResult result = file.result();
    if (result && bytes.size() > limit)
        result = failure(ReadResult::Status::Failed, path, "larger than " + describeBytes(limit));
    if (!result)
        bytes.clear();
    return result;
}

std::string describeBytes(std::size_t bytes)
{
    constexpr std::size_t MiB = 1u << 20;
    if (bytes != 0 && bytes % MiB == 0)
        return std::to_string(bytes / MiB) + " MiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

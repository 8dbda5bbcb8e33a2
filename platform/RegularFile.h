#pragma once

#include "platform/FileResults.h"

#include <cstddef>
#include <string>

// A regular file opened for reading. Opening never blocks: the name is opened
// non-blocking and anything that is not a regular file (a named pipe, a
// device such as /dev/zero, a folder, a socket) is refused on its type before
// a byte is read, so a file name can neither hang the game nor feed it an
// endless stream. Symbolic links are followed and judged by their target.
class RegularFile
{
public:
    // Opens `path` (UTF-8). result() tells whether that worked.
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Complete while the file is open and no read has failed; Missing when
    // no file has that name; Failed with the reason, e.g.
    // "<path>: is not a regular file" or "<path>: Permission denied".
    const ReadResult& result() const { return state; }

    // Appends up to `count` bytes of the file to `bytes` (64 KiB at most per
    // call) and returns how many it appended: 0 at the end of the file, and
    // when result() is not Complete.
    std::size_t read(std::string& bytes, std::size_t count);

    // The file's size when it was opened, in bytes (0 when not open).
    std::size_t sizeWhenOpened() const { return openedSize; }

private:
    std::string path;
    int descriptor = -1;
    std::size_t openedSize = 0;
    ReadResult state;
};

// The whole regular file at `path` in `bytes` (replacing them). A file of more
// than `limit` bytes is refused with "<path>: larger than <limit>", reading at
// most `limit` + 1 bytes of it. On failure `bytes` is empty.
ReadResult readRegularFile(const std::string& path, std::size_t limit, std::string& bytes);

// "4 MiB" for whole mebibytes, "1000 bytes" otherwise: how limits are named in reasons.
std::string describeBytes(std::size_t bytes);

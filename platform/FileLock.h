#pragma once

#include <cstdint>
#include <memory>
#include <string>

// An exclusive lock on a file, held while the object lives. The system lets
// go of it however the process ends (killed included), so a lock that can be
// taken belongs to no running program. Programs this one starts do not
// inherit it. Two locks on one file exclude each other within one process
// too.
class FileLock
{
public:
    // Creates the file at `path` (UTF-8) when missing and locks it without
    // waiting. Null when another holder has the lock or the file cannot be
    // opened; `error`, when given, then says which (empty: held elsewhere).
    static std::unique_ptr<FileLock> tryLock(const std::string& path, std::string* error = nullptr);

    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(std::intptr_t handle) : handle(handle) {}

    std::intptr_t handle; // the open file: a descriptor, or a Windows HANDLE
};

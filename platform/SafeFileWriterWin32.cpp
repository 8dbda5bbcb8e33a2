// The safe writer's Windows half (platform/SafeFileWriter.h).
#ifdef _WIN32

#include "platform/SafeFileWriter.h"
#include "platform/TemporaryFiles.h"
#include "platform/WindowsApi.h"

#include <algorithm>

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

WriteResult writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return WriteResult::failed("no file name given");
    const std::wstring target = widen(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return WriteResult::failed(path + ": is a folder, not a file");
    // The user protected it; the move would fail with a less clear reason.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return WriteResult::failed(path + ": the file is read-only");

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
            return WriteResult::failed(errorText(path, GetLastError()) + " (cannot create a temporary file beside it)");
    }
    if (file == INVALID_HANDLE_VALUE)
        return WriteResult::failed(path + ": cannot create a temporary file beside it");
    const std::wstring temp = widen(tempName);

    const auto fail = [&](const std::string& reason) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        DeleteFileW(temp.c_str());
        return WriteResult::failed(reason);
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
    return WriteResult();
}

WriteResult createNewFile(const std::string& path)
{
    const HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
    {
        CloseHandle(file);
        return WriteResult();
    }
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
        return WriteResult{WriteResult::Status::Taken, {}};
    return WriteResult::failed(errorText(path, code));
}

#endif

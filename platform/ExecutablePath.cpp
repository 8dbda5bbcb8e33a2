#include "platform/ExecutablePath.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "platform/WindowsApi.h"

#include <vector>
#endif

namespace fs = std::filesystem;

std::string executablePath()
{
#if defined(_WIN32)
    // The path may be longer than MAX_PATH; a buffer that was too small comes
    // back filled to its end, so grow it until the path fits.
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2)
    {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0)
            return {};
        if (length < size)
            return fs::path(std::wstring(buffer.data(), length)).u8string();
    }
    return {};
#elif defined(__linux__)
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.u8string();
#else
    return {};
#endif
}

std::string installedContentDir(const std::string& executable)
{
    if (executable.empty())
        return {};
    const fs::path folder = fs::u8path(executable).parent_path();
    return (folder / fs::u8path(InstalledContentFromExecutableDir)).lexically_normal().u8string();
}

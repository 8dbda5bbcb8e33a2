#include "platform/UserFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include "platform/WindowsApi.h"

#include <shlobj.h>
#endif

namespace fs = std::filesystem;

namespace
{
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

#ifdef _WIN32
std::string knownFolder(const KNOWNFOLDERID& id)
{
    PWSTR path = nullptr;
    std::string result;
    if (SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK && path)
        result = fs::path(path).u8string();
    CoTaskMemFree(path);
    return result;
}

// "<base>/Quillora" for the known folder `id`, else the folder named by the
// environment variable `variable`; empty when neither is there.
std::string appDataFolder(const KNOWNFOLDERID& id, const char* variable)
{
    std::string base = knownFolder(id);
    if (base.empty())
        base = environment(variable);
    return base.empty() ? std::string() : (fs::u8path(base) / "Quillora").u8string();
}
#endif

// The base directory rule: "<xdgHome>/quillora" when it is an absolute path
// (a relative one is invalid and ignored), else "<home>/<homeRelative>/quillora",
// else empty.
std::string xdgFolder(const char* xdgHome, const char* home, const fs::path& homeRelative)
{
    if (xdgHome && *xdgHome && fs::u8path(xdgHome).is_absolute())
        return (fs::u8path(xdgHome) / "quillora").u8string();
    if (home && *home)
        return (fs::u8path(home) / homeRelative / "quillora").u8string();
    return {};
}
} // namespace

std::string stateFolderFor(const char* xdgStateHome, const char* home)
{
    return xdgFolder(xdgStateHome, home, fs::path(".local") / "state");
}

std::string stateFolder()
{
#ifdef _WIN32
    return appDataFolder(FOLDERID_LocalAppData, "LOCALAPPDATA");
#else
    return stateFolderFor(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
#endif
}

std::string configFolderFor(const char* xdgConfigHome, const char* home)
{
    return xdgFolder(xdgConfigHome, home, ".config");
}

std::string configFolder()
{
#ifdef _WIN32
    return appDataFolder(FOLDERID_RoamingAppData, "APPDATA");
#else
    return configFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
#endif
}

std::string dataFolderFor(const char* xdgDataHome, const char* home)
{
    return xdgFolder(xdgDataHome, home, fs::path(".local") / "share");
}

std::string dataFolder()
{
#ifdef _WIN32
    return appDataFolder(FOLDERID_RoamingAppData, "APPDATA");
#else
    return dataFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
}

std::string stampsFolder()
{
    const std::string data = dataFolder();
    return data.empty() ? data : (fs::u8path(data) / "stamps").u8string();
}

std::string homeFolder()
{
#ifdef _WIN32
    return environment("USERPROFILE");
#else
    return environment("HOME");
#endif
}

std::string picturesFolderFromUserDirs(std::string_view text, const std::string& home)
{
    constexpr std::string_view Key = "XDG_PICTURES_DIR=\"";
    constexpr std::string_view HomePrefix = "$HOME";
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, Key.size()) != Key)
            continue;
        line.remove_prefix(Key.size());
        const std::size_t quote = line.find('"');
        if (quote == std::string_view::npos)
            return {};
        const std::string_view value = line.substr(0, quote);
        if (value.substr(0, HomePrefix.size()) == HomePrefix &&
            (value.size() == HomePrefix.size() || value[HomePrefix.size()] == '/'))
            return home.empty() ? std::string() : home + std::string(value.substr(HomePrefix.size()));
        if (!value.empty() && value.front() == '/')
            return std::string(value);
        return {};
    }
    return {};
}

std::string picturesFolder()
{
#ifdef _WIN32
    return knownFolder(FOLDERID_Pictures);
#else
    const std::string home = environment("HOME");
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/')
        config = home.empty() ? std::string() : home + "/.config";
    if (!config.empty())
    {
        std::ifstream file(config + "/user-dirs.dirs", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (std::string found = picturesFolderFromUserDirs(text, home); !found.empty())
            return found;
    }
    return home.empty() ? std::string() : home + "/Pictures";
#endif
}

std::string createFolder(const std::string& folder)
{
    if (folder.empty())
        return "no folder given";
    // One level at a time, so each folder made here gets its permissions.
    fs::path path;
    for (const fs::path& part : fs::u8path(folder))
    {
        path /= part;
        std::error_code error;
        if (fs::is_directory(path, error))
            continue;
        if (!fs::create_directory(path, error) && error)
            return path.u8string() + ": " + error.message();
#ifndef _WIN32
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace, error);
#endif
    }
    return {};
}

#include "platform/SettingsFile.h"

#include "platform/RegularFile.h"

#include <ini.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace
{
// What the parser's callbacks share: the text left, the line being read, and
// which lines it handed over.
struct Reading
{
    std::string_view rest;
    int line = 0;
    bool atLineStart = true;
    std::set<int> handled;
    std::map<int, std::string> lineProblems;
    Settings* settings = nullptr;
};

// Hands the parser the next piece of a line, as fgets does, counting lines.
char* nextLine(char* buffer, int size, void* stream)
{
    Reading& reading = *static_cast<Reading*>(stream);
    if (reading.rest.empty() || size < 2)
        return nullptr;
    if (reading.atLineStart)
        ++reading.line;
    std::size_t take = std::min(reading.rest.size(), static_cast<std::size_t>(size - 1));
    if (const std::size_t end = reading.rest.substr(0, take).find('\n'); end != std::string_view::npos)
        take = end + 1;
    std::memcpy(buffer, reading.rest.data(), take);
    buffer[take] = '\0';
    reading.atLineStart = buffer[take - 1] == '\n';
    reading.rest.remove_prefix(take);
    return buffer;
}

std::optional<bool> yesOrNo(std::string value)
{
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* yes : {"yes", "true", "on", "1"})
        if (value == yes)
            return true;
    for (const char* no : {"no", "false", "off", "0"})
        if (value == no)
            return false;
    return std::nullopt;
}

// One "name = value" line of `section`; the problem, or empty when it is used.
std::string take(Settings& settings, std::string_view section, std::string_view name, const char* value)
{
    if (section == "game")
    {
        if (name == "windowed")
        {
            if (const std::optional<bool> windowed = yesOrNo(value))
            {
                settings.windowed = windowed;
                return {};
            }
            return "windowed takes yes or no, not \"" + std::string(value) + "\"";
        }
        if (name == "autosave")
        {
            if (const std::optional<double> seconds = plainSeconds(value); seconds && honouredAutosave(*seconds))
            {
                settings.autosaveSeconds = seconds;
                return {};
            }
            return "autosave takes a number of seconds, 0 or at least 0.01, not \"" + std::string(value) + "\"";
        }
        return "[game] has no setting \"" + std::string(name) + "\"";
    }
    if (section == "keys")
    {
        const std::optional<KeyAction> action = actionNamed(name);
        if (!action)
            return "\"" + std::string(name) + "\" is no action";
        std::string problem;
        std::optional<Binding> binding = parseBinding(value, problem);
        if (!binding)
            return std::string(name) + ": " + problem;
        settings.keys.bind(*action, std::move(*binding));
        return {};
    }
    if (section == "editor")
    {
        if (name == "stamps")
        {
            // A relative folder would depend on where the game was started.
            if (std::filesystem::u8path(value).is_absolute())
            {
                settings.stampsFolder = value;
                return {};
            }
            return "stamps takes an absolute folder, not \"" + std::string(value) + "\"";
        }
        if (name == "zoom")
        {
            if (const std::optional<ViewZoom> zoom = zoomNamed(value))
            {
                settings.editorZoom = zoom;
                return {};
            }
            return "zoom takes game, half or quarter, not \"" + std::string(value) + "\"";
        }
        return "[editor] has no setting \"" + std::string(name) + "\"";
    }
    return "\"" + std::string(name) + "\" outside [game], [keys] and [editor]";
}

int handle(void* user, const char* section, const char* name, const char* value)
{
    Reading& reading = *static_cast<Reading*>(user);
    reading.handled.insert(reading.line);
    std::string problem = take(*reading.settings, section, name, value);
    if (problem.empty())
        return 1;
    reading.lineProblems.emplace(reading.line, std::move(problem));
    return 0;
}

// Whether the parser had nothing to hand over from `line`: blank, a comment
// or a section header.
bool quietLine(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return true;
    line.remove_prefix(first);
    return line[0] == ';' || line[0] == '#' || (line[0] == '[' && line.find(']') != std::string_view::npos);
}
} // namespace

std::optional<double> plainSeconds(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double number = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

Settings readSettingsText(std::string_view text, const std::string& name)
{
    Settings settings;
    Reading reading;
    reading.rest = text;
    reading.settings = &settings;
    const int firstError = ini_parse_stream(&nextLine, &reading, &handle, &reading);
    if (firstError < 0)
    {
        settings.problems.push_back(name + ": cannot be read");
        return settings;
    }
    // The parser reports only the first line it could not make out; every
    // other line it handed over nothing from is found here.
    int number = 0;
    for (std::string_view rest = text; !rest.empty();)
    {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        ++number;
        if (!reading.handled.count(number) && !reading.lineProblems.count(number) && !quietLine(line))
            reading.lineProblems.emplace(number, "not a line of the form name = value");
    }
    for (const auto& [line, problem] : reading.lineProblems)
        settings.problems.push_back(name + ", line " + std::to_string(line) + ": " + problem + " (the default is kept)");
    return settings;
}

Settings readSettingsFile(const std::string& path)
{
    std::string bytes;
    const ReadResult read = readRegularFile(path, MaxSettingsBytes, bytes);
    if (read.status == ReadResult::Status::Missing)
        return {};
    if (!read)
    {
        Settings settings;
        settings.problems.push_back(read.reason + " (the defaults are used)");
        return settings;
    }
    return readSettingsText(bytes, path);
}

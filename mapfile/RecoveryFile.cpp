#include "mapfile/RecoveryFile.h"

#include "mapfile/MapFormat.h"

#include <algorithm>

namespace
{
// The next line of `text` without its "\n"; false when no "\n" ends it.
bool takeLine(std::string_view& text, std::string_view& line)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}
} // namespace

bool looksLikeRecovery(std::string_view text)
{
    return text.substr(0, RecoveryFirstLine.size()) == RecoveryFirstLine &&
           text.substr(RecoveryFirstLine.size(), 1) == "\n";
}

std::string formatRecovery(const std::string& mapPath, std::string_view mapText)
{
    const bool pathFits = mapPath.find_first_of("\r\n") == std::string::npos;
    std::string text;
    text.reserve(RecoveryFirstLine.size() + RecoveryMapFileLabel.size() + mapPath.size() + mapText.size() + 3);
    text.append(RecoveryFirstLine).append("\n").append(RecoveryMapFileLabel);
    if (pathFits && !mapPath.empty())
        text.append(" ").append(mapPath);
    text.append("\n").append(mapText);
    return text;
}

bool takeRecoveryHeader(std::string_view& text, std::string& mapPath, std::string& error)
{
    std::string_view line;
    if (!takeLine(text, line) || line != RecoveryFirstLine)
    {
        error = "not a recovery file (its first line is not \"" + std::string(RecoveryFirstLine) + "\")";
        return false;
    }
    if (!takeLine(text, line) || line.substr(0, RecoveryMapFileLabel.size()) != RecoveryMapFileLabel)
    {
        error = "line 2 does not name the map file";
        return false;
    }
    line.remove_prefix(RecoveryMapFileLabel.size());
    if ((!line.empty() && (line.front() != ' ' || line.size() == 1)) || line.find('\r') != std::string_view::npos)
    {
        error = "line 2 does not name the map file";
        return false;
    }
    mapPath = line.empty() ? std::string() : std::string(line.substr(1));
    return true;
}

bool parseRecovery(std::string_view text, RecoveryContents& out, std::string& error)
{
    if (!takeRecoveryHeader(text, out.mapPath, error))
        return false;
    const auto lines = std::count(text.begin(), text.end(), '\n');
    if (lines != MapFileLineCount)
    {
        error = "the map in it has " + std::to_string(lines) + " whole lines, but a map has " +
                std::to_string(MapFileLineCount);
        return false;
    }
    if (text.back() != '\n')
    {
        error = "there is text after the map's last line";
        return false;
    }
    out.mapText = text;
    return true;
}

#include "mapfile/StampFile.h"

#include "content/ContentCatalog.h"
#include "mapfile/MapFormat.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
constexpr int HeaderLines = 3; // the format line, the width, the height
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

std::string firstLine()
{
    return std::string(StampFormatName) + " " + std::to_string(StampFormatVersion);
}

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r\v\f") == std::string_view::npos;
}

// The version the format line names; false when it is not a stamp's format line.
bool readFormatLine(std::string_view line, int& version)
{
    if (line.substr(0, StampFormatName.size()) != StampFormatName || line.size() == StampFormatName.size() ||
        (line[StampFormatName.size()] != ' ' && line[StampFormatName.size()] != '\t'))
        return false;
    const NumberRead read = readNumber(line.substr(StampFormatName.size()));
    version = read.value;
    return read.status == NumberStatus::Ok;
}

// Text editors may put a byte order mark before UTF-8 text.
std::string_view withoutByteOrderMark(std::string_view text)
{
    return text.substr(0, Utf8ByteOrderMark.size()) == Utf8ByteOrderMark ? text.substr(Utf8ByteOrderMark.size()) : text;
}

bool readSide(LineReader& lines, const char* what, int& side, std::string& error)
{
    if (!readNumberLine(lines, "a stamp has at least " + std::to_string(HeaderLines + MapFileLinesPerField) + " lines",
                        side, error))
        return false;
    if (side >= 1 && side <= MaxStampSide)
        return true;
    error = lineError(lines.lineNumber(), "holds the " + std::string(what) + " " + std::to_string(side) +
                                              ", but a stamp has 1 to " + std::to_string(MaxStampSide) + " fields");
    return false;
}

// Names compare by their letters whatever their case, then byte by byte.
bool stampNameBefore(const std::string& a, const std::string& b)
{
    const auto less = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less))
        return false;
    return a < b;
}
} // namespace

std::string formatStamp(const FieldBlock& block)
{
    std::string text =
        firstLine() + "\n" + std::to_string(block.width()) + "\n" + std::to_string(block.height()) + "\n";
    const std::size_t head = text.size();
    text.resize(head + static_cast<std::size_t>(block.width()) * static_cast<std::size_t>(block.height()) *
                           MaxFieldTextBytes);
    char* out = text.data() + head;
    for (int column = 0; column < block.width(); ++column)
        for (int row = 0; row < block.height(); ++row)
            out = writeFieldLines(out, block.at(column, row));
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

bool looksLikeStamp(std::string_view text)
{
    LineReader lines(withoutByteOrderMark(text));
    std::string_view line;
    int version = 0;
    return lines.next(line) && readFormatLine(line, version);
}

bool parseStamp(std::string_view text, const ContentCatalog& content, FieldBlock& out, std::string& error)
{
    LineReader lines(withoutByteOrderMark(text));
    std::string_view line;
    int version = 0;
    if (!lines.next(line) || !readFormatLine(line, version))
    {
        error = "not a stamp (its first line is not \"" + firstLine() + "\")";
        return false;
    }
    if (version != StampFormatVersion)
    {
        error = "line 1 names version " + std::to_string(version) +
                " of the stamp format, but this game reads version " + std::to_string(StampFormatVersion);
        return false;
    }
    int width = 0;
    int height = 0;
    if (!readSide(lines, "width", width, error) || !readSide(lines, "height", height, error))
        return false;
    // Read whole before `out` changes: a bad text changes nothing.
    FieldBlock block(width, height);
    const std::string length = "a " + std::to_string(width) + " x " + std::to_string(height) + " stamp has " +
                               std::to_string(HeaderLines + width * height * MapFileLinesPerField) + " lines";
    for (int column = 0; column < width; ++column)
        for (int row = 0; row < height; ++row)
            if (!readFieldLines(lines, content, length, block.at(column, row), error))
                return false;
    while (lines.next(line))
        if (!blank(line))
        {
            error = lineError(lines.lineNumber(), "holds text after the stamp's last field");
            return false;
        }
    out = std::move(block);
    return true;
}

WriteResult writeStampFile(const std::string& path, const FieldBlock& block)
{
    try
    {
        return writeFileSafely(path, formatStamp(block));
    }
    catch (const std::bad_alloc&)
    {
        return WriteResult::failed(path + ": not enough memory to save the stamp");
    }
}

ReadResult readStampFile(const std::string& path, const ContentCatalog& content, FieldBlock& out)
{
    try
    {
        std::string text;
        ReadResult read = readRegularFile(path, MaxStampFileBytes, text);
        if (!read)
            return read;
        std::string error;
        if (!parseStamp(text, content, out, error))
            return {ReadResult::Status::Failed, path + ": " + error};
        return read;
    }
    catch (const std::bad_alloc&)
    {
        return {ReadResult::Status::Failed, path + ": not enough memory to load the stamp"};
    }
}

std::vector<std::string> listStamps(const std::string& folder)
{
    std::vector<std::string> names;
    if (folder.empty())
        return names;
    std::error_code error;
    for (fs::directory_iterator entry(fs::u8path(folder), error), end; !error && entry != end; entry.increment(error))
    {
        const std::string file = entry->path().filename().u8string();
        std::error_code typeError;
        if (file.size() <= StampFileExtension.size() ||
            file.compare(file.size() - StampFileExtension.size(), std::string::npos, StampFileExtension) != 0 ||
            !entry->is_regular_file(typeError))
            continue;
        names.push_back(file.substr(0, file.size() - StampFileExtension.size()));
    }
    std::sort(names.begin(), names.end(), stampNameBefore);
    return names;
}

std::string stampPath(const std::string& folder, const std::string& name)
{
    return (fs::u8path(folder) / fs::u8path(name + std::string(StampFileExtension))).u8string();
}

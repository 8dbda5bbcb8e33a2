#pragma once

#include <string>
#include <string_view>

// A recovery file keeps a map that has changes nobody saved. It is a map file
// with a two-line header:
//   Quillora recovery file
//   map file: <the map's own file, UTF-8>       ("map file:" alone for a map that never had one)
//   <the map file's text: exactly its 160,002 lines, each ending in "\n">
// It is written whole or not at all (platform/SafeFileWriter), so anything
// else is not one of ours and is refused.
constexpr std::string_view RecoveryFirstLine = "Quillora recovery file";
constexpr std::string_view RecoveryMapFileLabel = "map file:";

// A recovery file's parts, viewing into the text it was read from.
struct RecoveryContents
{
    std::string mapPath;       // the map's own file; empty for a map that never had one
    std::string_view mapText;  // the map file's text, for parseMap
};

// Whether `text` starts like a recovery file (its first line), whatever follows.
bool looksLikeRecovery(std::string_view text);

// The text of a recovery file for the map file text `mapText` of a map whose
// own file is `mapPath`. A path that would break the header (a line end in
// it) is left out, as for a map without a file.
std::string formatRecovery(const std::string& mapPath, std::string_view mapText);

// Reads the two header lines at the start of `text` (the rest may be cut
// off) and drops them from it. False, with `error` saying why, when they are
// not a recovery file's.
bool takeRecoveryHeader(std::string_view& text, std::string& mapPath, std::string& error);

// Splits a recovery file into its header and its map text. Refuses, with
// `error` saying why, anything but the first line exactly, the map-file line,
// and then exactly as many "\n"-ended lines as a map file has. The map text
// is not checked beyond its line count: parseMap does that.
bool parseRecovery(std::string_view text, RecoveryContents& out, std::string& error);

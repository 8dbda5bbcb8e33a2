#pragma once

#include "platform/FileResults.h"
#include "world/FieldBlock.h"
#include "world/FieldMap.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ContentCatalog;

// A stamp file keeps a rectangle of fields for building with again. It is
// plain text, one value per line, each line ending in "\n":
//   quillora-stamp 1      the format's name and version
//   3                     width in fields, 1 .. MaxStampSide
//   2                     height in fields, 1 .. MaxStampSide
//   then for every field, column by column as in a map file (the left
//   column top to bottom first), its ground type, under type, object id and
//   solid flag (0/1).
// The desktop clipboard carries a stamp as this same text.
constexpr std::string_view StampFormatName = "quillora-stamp";
constexpr int StampFormatVersion = 1;
constexpr int MaxStampSide = MapSize;                // fields, either way
constexpr std::string_view StampFileExtension = ".stamp";
constexpr std::size_t MaxStampFileBytes = 16u << 20; // bytes; the largest stamp is under 1 MB

// The text of `block` (not empty).
std::string formatStamp(const FieldBlock& block);

// Reads the text of a stamp into `out` and checks it against `content`.
// Takes what formatStamp writes, and with a map file's leniency: "\r\n" line
// ends, blanks around a number, a '+' before it; blank lines after the last
// field. Refuses, returning false with `error` saying what is wrong and
// leaving `out` as it was:
// - "not a stamp (...)" when the first line does not name the format;
// - "line 1 names version 2 of the stamp format, ..." for another version;
// - "line N ..." for a size outside 1 .. MaxStampSide, a line without a whole
//   number, a bad solid flag, a ground type or object that `content` lacks
//   (as a map file's reader says them), other text after the last field;
// - "the file ends after line N, but a 3 x 2 stamp has 27 lines".
bool parseStamp(std::string_view text, const ContentCatalog& content, FieldBlock& out, std::string& error);

// Whether `text` starts as a stamp does: its first line names the format,
// of any version.
bool looksLikeStamp(std::string_view text);

// Writes `block` as the stamp file `path` (platform/SafeFileWriter: whole or
// not at all; an older file of the name is kept as "<path>.bak").
WriteResult writeStampFile(const std::string& path, const FieldBlock& block);

// Reads the stamp file `path` (a regular file of at most MaxStampFileBytes)
// into `out`, checked against `content`. Complete; Missing; or Failed with
// "<path>: <what parseStamp says>". `out` changes only when Complete.
ReadResult readStampFile(const std::string& path, const ContentCatalog& content, FieldBlock& out);

// The names of the stamps in `folder`: every regular file (or link to one)
// "<name>.stamp" with a name not empty, without the extension, in
// case-insensitive order (ASCII letters; equal names in byte order). Empty
// when the folder is missing or cannot be read.
std::vector<std::string> listStamps(const std::string& folder);

// "<folder>/<name>.stamp".
std::string stampPath(const std::string& folder, const std::string& name);

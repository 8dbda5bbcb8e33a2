#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The ways Tiled stores a tile layer's global tile ids: as comma-separated
// numbers, or as base64 of the ids in 32-bit little-endian order, raw or
// compressed.
enum class TiledEncoding
{
    Csv,
    Base64,
    Base64Zlib,
    Base64Gzip,
    Base64Zstd,
};

// The compression of base64 layer data, by its name in both file forms:
// "" (none), "zlib", "gzip" or "zstd". False for any other name.
bool tiledCompression(std::string_view name, TiledEncoding& encoding);
// The name tiledCompression reads ("" for Csv and Base64).
const char* tiledCompressionName(TiledEncoding encoding);
// The encoding for the export option's value: "csv", "base64", "zlib",
// "gzip" or "zstd". False for any other.
bool tiledEncodingByOption(std::string_view option, TiledEncoding& encoding);

// `ids` as Tiled's base64 layer text for `encoding` (not Csv).
std::string encodeTileIds(const std::vector<std::uint32_t>& ids, TiledEncoding encoding);
// Exactly `count` ids from base64 text (blanks anywhere are skipped) in
// `encoding` (not Csv). Refuses text that is not base64, compressed data that
// is damaged or that holds more or fewer than `count` ids, with `error`
// saying which.
bool decodeTileIds(std::string_view text, TiledEncoding encoding, std::size_t count, std::vector<std::uint32_t>& ids,
                   std::string& error);
// Exactly `count` ids from comma-separated decimal numbers (blanks and line
// ends around them are skipped). Refuses anything else with `error`.
bool readCsvTileIds(std::string_view text, std::size_t count, std::vector<std::uint32_t>& ids, std::string& error);

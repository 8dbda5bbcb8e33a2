#include "mapfile/TiledData.h"

#include <zlib.h>
#include <zstd.h>

#include <array>
#include <charconv>
#include <climits>
#include <stdexcept>

namespace
{
constexpr const char* Base64Digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string base64(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3)
    {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= static_cast<std::uint8_t>(bytes[i + 2]);
        text += Base64Digits[(group >> 18) & 63];
        text += Base64Digits[(group >> 12) & 63];
        text += left > 1 ? Base64Digits[(group >> 6) & 63] : '=';
        text += left > 2 ? Base64Digits[group & 63] : '=';
    }
    return text;
}

// Base64 text (blanks skipped, '=' padding only at the end) into bytes.
bool unbase64(std::string_view text, std::string& bytes)
{
    static const std::array<int, 256> values = [] {
        std::array<int, 256> table{};
        table.fill(-1);
        for (int i = 0; i < 64; ++i)
            table[static_cast<unsigned char>(Base64Digits[i])] = i;
        return table;
    }();
    std::uint32_t group = 0;
    int digits = 0, padding = 0;
    for (char c : text)
    {
        if (blank(c))
            continue;
        if (c == '=')
        {
            ++padding;
            continue;
        }
        const int value = values[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0)
            return false;
        group = (group << 6) | static_cast<std::uint32_t>(value);
        if (++digits == 4)
        {
            bytes += static_cast<char>(group >> 16);
            bytes += static_cast<char>(group >> 8);
            bytes += static_cast<char>(group);
            digits = 0;
            group = 0;
        }
    }
    if (digits == 1 || padding > 2 || (padding > 0 && digits + padding != 4))
        return false;
    if (digits == 2)
        bytes += static_cast<char>(group >> 4);
    else if (digits == 3)
    {
        bytes += static_cast<char>(group >> 10);
        bytes += static_cast<char>(group >> 2);
    }
    return true;
}

// zlib's deflate in its zlib (`gzip` false) or gzip wrapping.
std::string deflateBytes(std::string_view bytes, bool gzip)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, gzip ? 15 + 16 : 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib cannot start");
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("zlib cannot compress the layer");
    return out;
}

// Inflates a zlib or gzip stream that must give exactly `size` bytes and end.
bool inflateBytes(std::string_view bytes, bool gzip, std::size_t size, std::string& out)
{
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 15 + 16 : 15) != Z_OK)
        return false;
    out.assign(size + 1, '\0'); // one byte more shows data beyond the layer
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    out.resize(produced);
    return status == Z_STREAM_END && produced == size;
}
// Decompresses zstd frames that must give exactly `size` bytes, whether or
// not a frame says its size, never holding more than one byte beyond it.
bool unzstd(std::string_view bytes, std::size_t size, std::string& out)
{
    ZSTD_DStream* stream = ZSTD_createDStream();
    if (!stream)
        return false;
    out.assign(size + 1, '\0');
    ZSTD_inBuffer in{bytes.data(), bytes.size(), 0};
    ZSTD_outBuffer target{out.data(), out.size(), 0};
    std::size_t status = 1;
    while (in.pos < in.size && target.pos < target.size)
    {
        status = ZSTD_decompressStream(stream, &target, &in);
        if (ZSTD_isError(status))
            break;
    }
    ZSTD_freeDStream(stream);
    const bool complete = !ZSTD_isError(status) && status == 0 && in.pos == in.size && target.pos == size;
    out.resize(target.pos);
    return complete;
}
} // namespace

bool tiledCompression(std::string_view name, TiledEncoding& encoding)
{
    if (name.empty())
        encoding = TiledEncoding::Base64;
    else if (name == "zlib")
        encoding = TiledEncoding::Base64Zlib;
    else if (name == "gzip")
        encoding = TiledEncoding::Base64Gzip;
    else if (name == "zstd")
        encoding = TiledEncoding::Base64Zstd;
    else
        return false;
    return true;
}

const char* tiledCompressionName(TiledEncoding encoding)
{
    switch (encoding)
    {
    case TiledEncoding::Base64Zlib:
        return "zlib";
    case TiledEncoding::Base64Gzip:
        return "gzip";
    case TiledEncoding::Base64Zstd:
        return "zstd";
    case TiledEncoding::Csv:
    case TiledEncoding::Base64:
        break;
    }
    return "";
}

bool tiledEncodingByOption(std::string_view option, TiledEncoding& encoding)
{
    if (option == "csv")
        encoding = TiledEncoding::Csv;
    else if (option == "base64")
        encoding = TiledEncoding::Base64;
    else
        return !option.empty() && tiledCompression(option, encoding);
    return true;
}

std::string encodeTileIds(const std::vector<std::uint32_t>& ids, TiledEncoding encoding)
{
    std::string bytes;
    bytes.reserve(ids.size() * 4);
    for (std::uint32_t id : ids)
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(id >> shift);
    switch (encoding)
    {
    case TiledEncoding::Base64Zlib:
        return base64(deflateBytes(bytes, false));
    case TiledEncoding::Base64Gzip:
        return base64(deflateBytes(bytes, true));
    case TiledEncoding::Base64Zstd:
    {
        std::string out(ZSTD_compressBound(bytes.size()), '\0');
        const std::size_t size = ZSTD_compress(out.data(), out.size(), bytes.data(), bytes.size(), 3);
        if (ZSTD_isError(size))
            throw std::runtime_error("zstd cannot compress the layer");
        out.resize(size);
        return base64(out);
    }
    case TiledEncoding::Csv:
    case TiledEncoding::Base64:
        break;
    }
    return base64(bytes);
}

bool decodeTileIds(std::string_view text, TiledEncoding encoding, std::size_t count, std::vector<std::uint32_t>& ids,
                   std::string& error)
{
    std::string packed;
    if (!unbase64(text, packed))
    {
        error = "the layer data is not base64";
        return false;
    }
    const std::size_t size = count * 4;
    std::string bytes;
    bool intact = true;
    switch (encoding)
    {
    case TiledEncoding::Base64Zlib:
    case TiledEncoding::Base64Gzip:
        intact = inflateBytes(packed, encoding == TiledEncoding::Base64Gzip, size, bytes);
        break;
    case TiledEncoding::Base64Zstd:
        intact = unzstd(packed, size, bytes);
        break;
    case TiledEncoding::Csv:
    case TiledEncoding::Base64:
        bytes = std::move(packed);
        break;
    }
    if (!intact)
    {
        error = std::string("the layer's ") + tiledCompressionName(encoding) +
                " data is damaged or does not hold " + std::to_string(count) + " tiles";
        return false;
    }
    if (bytes.size() != size)
    {
        error = "the layer data holds " + std::to_string(bytes.size()) + " bytes, not the " + std::to_string(size) +
                " of " + std::to_string(count) + " tiles";
        return false;
    }
    ids.resize(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        std::uint32_t id = 0;
        for (int b = 3; b >= 0; --b)
            id = (id << 8) | static_cast<std::uint8_t>(bytes[i * 4 + static_cast<std::size_t>(b)]);
        ids[i] = id;
    }
    return true;
}

bool readCsvTileIds(std::string_view text, std::size_t count, std::vector<std::uint32_t>& ids, std::string& error)
{
    ids.clear();
    ids.reserve(count);
    const char* p = text.data();
    const char* const end = p + text.size();
    const auto skipBlanks = [&] {
        while (p != end && blank(*p))
            ++p;
    };
    skipBlanks();
    while (p != end)
    {
        std::uint32_t id = 0;
        const auto [next, status] = std::from_chars(p, end, id);
        if (status != std::errc() || ids.size() == count)
        {
            error = ids.size() == count ? "the layer data holds more than " + std::to_string(count) + " tiles"
                                        : "the layer data's tile " + std::to_string(ids.size() + 1) +
                                              " is not a tile number";
            return false;
        }
        ids.push_back(id);
        p = next;
        skipBlanks();
        if (p != end && *p == ',')
        {
            ++p;
            skipBlanks();
            if (p == end)
                break;
        }
        else if (p != end)
        {
            error = "the layer data's tile " + std::to_string(ids.size()) + " is not followed by a comma";
            return false;
        }
    }
    if (ids.size() != count)
    {
        error = "the layer data holds " + std::to_string(ids.size()) + " tiles, not " + std::to_string(count);
        return false;
    }
    return true;
}

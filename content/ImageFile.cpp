#include "content/ImageFile.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace
{
// What libpng reads from, and where it leaves its message when it stops.
// Plain data: libpng's errors leave through longjmp, which runs no destructors.
struct PngSource
{
    const unsigned char* bytes;
    std::size_t size;
    std::size_t offset;
    char error[200];
};

void readSource(png_structp png, png_bytep out, png_size_t count)
{
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->offset)
        png_error(png, "the file ends early");
    std::memcpy(out, source->bytes + source->offset, count);
    source->offset += count;
}

void onError(png_structp png, png_const_charp message)
{
    PngSource* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->error, sizeof source->error, "%s", message);
    png_longjmp(png, 1);
}

// libpng warns about ancillary chunks it skips (a bad checksum, for example)
// and goes on; there is nothing for the player in that.
void onWarning(png_structp, png_const_charp) {}

// The two steps that libpng may leave by longjmp. Their frames hold nothing
// with a destructor, and nothing is read after the jump but the flag.
bool readHeader(png_structp png, png_infop info, png_uint_32& width, png_uint_32& height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    png_set_expand(png);       // palette to RGB, grey below 8 bits to 8, transparency chunk to alpha
    png_set_strip_16(png);     // 16-bit samples keep their high byte
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER); // opaque where the file has no alpha
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == static_cast<png_size_t>(width) * 4;
}

bool readRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

class PngReader
{
public:
    explicit PngReader(PngSource& source)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, onError, onWarning);
        if (png)
            info = png_create_info_struct(png);
        if (info)
            png_set_read_fn(png, &source, readSource);
    }
    ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Decodes `bytes`; returns an empty string or what is wrong with them.
std::string decodePng(const std::string& bytes, sf::Image& image, std::size_t maxDecodedBytes)
{
    constexpr std::size_t SignatureBytes = 8;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < SignatureBytes || png_sig_cmp(data, 0, SignatureBytes) != 0)
        return "not a PNG file";
    PngSource source{data, bytes.size(), 0, {}};
    PngReader reader(source);
    if (!reader.info)
        return "not enough memory to decode it";
    png_uint_32 width = 0, height = 0;
    if (!readHeader(reader.png, reader.info, width, height))
        return source.error[0] ? std::string("damaged PNG (") + source.error + ")" : "unsupported PNG layout";
    if (width > MaxImageSide || height > MaxImageSide)
        return std::to_string(width) + " x " + std::to_string(height) + " pixels, larger than " +
               std::to_string(MaxImageSide) + " x " + std::to_string(MaxImageSide);
    const std::size_t decoded = std::size_t{width} * height * 4;
    if (decoded > maxDecodedBytes)
        return std::to_string(width) + " x " + std::to_string(height) + " pixels need " + describeBytes(decoded) +
               " decoded, more than the " + describeBytes(maxDecodedBytes) + " left of the budget for decoded pictures";

    std::vector<png_byte> pixels(decoded);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels.data() + std::size_t{y} * width * 4;
    if (!readRows(reader.png, rows.data()))
        return std::string("damaged PNG (") + source.error + ")";
    image.create(width, height, pixels.data());
    return {};
}
// Where libpng writes an encoded picture, and its message when it stops.
struct PngSink
{
    std::string* bytes;
    char error[200];
};

void writeSink(png_structp png, png_bytep data, png_size_t count)
{
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    bool appended = true;
    try
    {
        sink->bytes->append(reinterpret_cast<const char*>(data), count);
    }
    catch (const std::bad_alloc&)
    {
        appended = false;
    }
    // Outside the handler: libpng leaves by longjmp.
    if (!appended)
        png_error(png, "not enough memory for the encoded picture");
}

void flushSink(png_structp) {}

void onWriteError(png_structp png, png_const_charp message)
{
    PngSink* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    std::snprintf(sink->error, sizeof sink->error, "%s", message);
    png_longjmp(png, 1);
}

// The step that libpng may leave by longjmp; its frame holds nothing with a
// destructor.
bool writeImage(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    // The Sub filter alone: most of the gain on pictures of repeated tiles at
    // a fraction of the cost of trying every filter per row.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}
} // namespace

WriteResult encodePng(const unsigned char* rgba, unsigned width, unsigned height, std::string& bytes)
{
    bytes.clear();
    if (width == 0 || height == 0)
        return WriteResult::failed("a picture without pixels cannot be a PNG");
    PngSink sink{&bytes, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onWriteError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::string fault;
    try
    {
        if (!info)
            fault = "not enough memory to encode the picture";
        else
        {
            std::vector<png_bytep> rows(height);
            for (unsigned y = 0; y < height; ++y)
                rows[y] = const_cast<png_bytep>(rgba + std::size_t{y} * width * 4); // libpng only reads them
            png_set_write_fn(png, &sink, writeSink, flushSink);
            if (!writeImage(png, info, width, height, rows.data()))
                fault = std::string("cannot encode the picture (") + sink.error + ")";
        }
    }
    catch (const std::bad_alloc&)
    {
        fault = "not enough memory to encode the picture";
    }
    png_destroy_write_struct(&png, &info);
    return fault.empty() ? WriteResult() : WriteResult::failed(std::move(fault));
}

ReadResult loadPngImage(const std::string& path, sf::Image& image, std::size_t maxDecodedBytes)
{
    std::string bytes;
    ReadResult result = readRegularFile(path, MaxPngFileBytes, bytes);
    if (!result)
        return result;
    std::string fault;
    try
    {
        fault = decodePng(bytes, image, maxDecodedBytes);
    }
    catch (const std::bad_alloc&)
    {
        fault = "not enough memory to decode it";
    }
    if (!fault.empty())
        return {ReadResult::Status::Failed, path + ": " + fault};
    return result;
}

ReadResult loadPngTexture(const std::string& path, sf::Texture& texture, std::size_t maxDecodedBytes)
{
    sf::Image image;
    ReadResult result = loadPngImage(path, image, maxDecodedBytes);
    if (result && !texture.loadFromImage(image))
        return {ReadResult::Status::Failed, path + ": the graphics driver refused the picture"};
    return result;
}

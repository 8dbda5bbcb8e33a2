#include "TestContent.h"

#include "content/ImageFile.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

namespace
{
// transparency: a tRNS chunk (palette alphas, or pixel (0, 0)'s colour as the key); gamma: a gAMA chunk unless 0.
struct Layout
{
    const char* name;
    int colorType, bitDepth;
    bool interlaced, transparency;
    double gamma;
};

constexpr unsigned Width = 10, Height = 7; // every Adam7 pass has pixels
const png_color Palette[4] = {{200, 10, 30}, {0, 255, 0}, {17, 34, 51}, {255, 255, 255}};
const png_byte PaletteAlpha[4] = {0, 128, 255, 7};

// Sample `c` of pixel (x, y) as written. 16-bit samples end in 0xFF, which
// rounding (instead of keeping the high byte) would carry upwards.
unsigned sample(int bitDepth, unsigned x, unsigned y, unsigned c)
{
    const unsigned high = (x * 37 + y * 59 + c * 71) & 0xFF;
    return bitDepth == 16 ? high << 8 | 0xFF : high >> (8 - bitDepth);
}

// The pixel a paint program shows: stored values, 16-bit cut to the high byte.
sf::Color expected(const Layout& layout, unsigned x, unsigned y)
{
    const int depth = layout.bitDepth;
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE)
    {
        const unsigned i = sample(depth, x, y, 0) % 4;
        return sf::Color(Palette[i].red, Palette[i].green, Palette[i].blue, layout.transparency ? PaletteAlpha[i] : 255);
    }
    const auto eight = [&](unsigned c) {
        const unsigned v = sample(depth, x, y, c);
        return static_cast<sf::Uint8>(depth == 16 ? v >> 8 : v * 255 / ((1u << depth) - 1));
    };
    const bool grey = (layout.colorType & PNG_COLOR_MASK_COLOR) == 0;
    bool keyed = layout.transparency;
    for (unsigned c = 0; c < (grey ? 1u : 3u); ++c)
        keyed = keyed && sample(depth, x, y, c) == sample(depth, 0, 0, c);
    const sf::Uint8 alpha = layout.colorType & PNG_COLOR_MASK_ALPHA ? eight(grey ? 1 : 3) : keyed ? 0 : 255;
    return grey ? sf::Color(eight(0), eight(0), eight(0), alpha) : sf::Color(eight(0), eight(1), eight(2), alpha);
}

// `layout` as a PNG file written by libpng; when `headerOnly`, only up to where the pixel data would begin.
std::string writePng(const Layout& layout, unsigned width = Width, unsigned height = Height, bool headerOnly = false)
{
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, [](png_structp p, png_bytep data, png_size_t size) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), size);
    }, nullptr);
    const int depth = layout.bitDepth;
    png_set_IHDR(png, info, width, height, depth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, Palette, 4);
    png_color_16 key{0, static_cast<png_uint_16>(sample(depth, 0, 0, 0)), static_cast<png_uint_16>(sample(depth, 0, 0, 1)),
                     static_cast<png_uint_16>(sample(depth, 0, 0, 2)), static_cast<png_uint_16>(sample(depth, 0, 0, 0))};
    if (layout.transparency)
        png_set_tRNS(png, info, layout.colorType == PNG_COLOR_TYPE_PALETTE ? PaletteAlpha : nullptr, 4, &key);
    if (layout.gamma > 0)
        png_set_gAMA(png, info, layout.gamma);
    png_write_info(png, info);
    if (headerOnly)
    {
        png_destroy_write_struct(&png, &info);
        return file.append("\0\0\0\0IDAT", 8);
    }
    png_set_packing(png); // below 8 bits, the rows hold one sample per byte
    const unsigned channels = png_get_channels(png, info), bytes = depth == 16 ? 2 : 1;
    std::vector<png_byte> pixels(std::size_t{width} * height * channels * bytes);
    std::vector<png_bytep> rows(height);
    for (unsigned i = 0; i < pixels.size() / bytes; ++i)
    {
        const unsigned x = i / channels % width, y = i / channels / width;
        const unsigned v = sample(depth, x, y, i % channels) % (layout.colorType == PNG_COLOR_TYPE_PALETTE ? 4 : 65536);
        pixels[i * bytes] = static_cast<png_byte>(v >> (bytes - 1) * 8);
        pixels[i * bytes + bytes - 1] = static_cast<png_byte>(v);
        rows[y] = pixels.data() + std::size_t{y} * width * channels * bytes;
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}
} // namespace

TEST(ImageFile, DecodesTheStoredValuesOfEveryLayout)
{
    const Layout layouts[] = {
        {"palette, 2 bits, gamma 1.0", PNG_COLOR_TYPE_PALETTE, 2, false, false, 1.0},
        {"palette with alphas", PNG_COLOR_TYPE_PALETTE, 8, true, true, 0},
        {"grey, gamma 1.0", PNG_COLOR_TYPE_GRAY, 8, false, false, 1.0},
        {"grey, 4 bits, keyed", PNG_COLOR_TYPE_GRAY, 4, false, true, 0},
        {"grey and alpha, gamma 0.45455", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false, 0.45455},
        {"16-bit RGB, gamma 1.0", PNG_COLOR_TYPE_RGB, 16, false, false, 1.0},
        {"16-bit RGB interlaced", PNG_COLOR_TYPE_RGB, 16, true, false, 0},
        {"16-bit RGBA interlaced, gamma 2.2", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false, 2.2},
        {"8-bit RGB interlaced, keyed", PNG_COLOR_TYPE_RGB, 8, true, true, 0},
    };
    TempDir dir;
    for (const Layout& layout : layouts)
    {
        dir.write("picture.png", writePng(layout));
        sf::Image image;
        const ReadResult result = loadPngImage(dir.file("picture.png"), image);
        ASSERT_TRUE(result) << layout.name << ": " << result.reason;
        ASSERT_EQ(image.getSize(), sf::Vector2u(Width, Height)) << layout.name;
        int wrong = 0;
        for (unsigned y = 0; y < Height; ++y)
            for (unsigned x = 0; x < Width; ++x)
                if (image.getPixel(x, y) != expected(layout, x, y) && ++wrong == 1)
                    ADD_FAILURE() << layout.name << ": first wrong pixel (" << x << ", " << y << ")";
    }
}

TEST(ImageFile, RefusesDamagedAndOversizedPicturesWithTheReason)
{
    const Layout rgba{"RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 0};
    const std::string good = writePng(rgba);
    std::string badChecksum = good;
    const std::size_t idat = good.find("IDAT"), idatLength = static_cast<unsigned char>(good[idat - 1]);
    badChecksum[idat + 4 + idatLength] ^= 1;
    const struct
    {
        std::string bytes;
        std::size_t budget;
        std::string reason; // empty: loads
    } cases[] = {
        {good, Width * Height * 4, ""},
        {good, Width * Height * 4 - 1,
         "10 x 7 pixels need 280 bytes decoded, more than the 279 bytes left of the budget for decoded pictures"},
        {writePng(rgba, MaxImageSide, 1), SIZE_MAX, ""},
        {writePng(rgba, MaxImageSide + 1, 1, true), SIZE_MAX, "4097 x 1 pixels, larger than 4096 x 4096"},
        {writePng(rgba, 100000, 100000, true), SIZE_MAX, "100000 x 100000 pixels, larger than 4096 x 4096"},
        {badChecksum, SIZE_MAX, "damaged PNG (IDAT: CRC error)"},
        {good.substr(0, good.size() / 2), SIZE_MAX, "damaged PNG (the file ends early)"},
        {"not a picture", SIZE_MAX, "not a PNG file"},
    };
    TempDir dir;
    const std::string path = dir.file("picture.png");
    for (const auto& c : cases)
    {
        dir.write("picture.png", c.bytes);
        sf::Image image;
        const ReadResult result = loadPngImage(path, image, c.budget);
        EXPECT_EQ(result.reason, c.reason.empty() ? "" : path + ": " + c.reason);
        EXPECT_EQ(image.getSize().x == 0, !c.reason.empty()) << c.reason;
    }
}

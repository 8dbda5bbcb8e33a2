#include "content/ImageFile.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{
struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

bool loadPngImage(const std::string& path, sf::Image& image)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&png, file.get()))
        return false;
    if (png.width == 0 || png.height == 0 || png.width > MaxImageSide || png.height > MaxImageSide)
    {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr))
    {
        png_image_free(&png);
        return false;
    }
    image.create(png.width, png.height, pixels.data());
    return true;
}

bool loadPngTexture(const std::string& path, sf::Texture& texture)
{
    sf::Image image;
    return loadPngImage(path, image) && texture.loadFromImage(image);
}

#pragma once

#include <string>

namespace sf
{
class Image;
class Texture;
} // namespace sf

// Largest picture side the game accepts from a content file, in pixels. Every
// texture of the game is far smaller; the limit keeps a damaged header from
// asking for gigabytes.
constexpr unsigned MaxImageSide = 4096;

// Reads the PNG file at `path` into `image` as RGBA. Decoding goes through
// libpng, which checks every chunk, so an empty, truncated or crafted file is
// refused instead of crashing the game. Returns false (and leaves `image`
// unchanged) when the file is missing, unreadable, not a PNG or too large.
bool loadPngImage(const std::string& path, sf::Image& image);

// loadPngImage, then the pixels into `texture`. False when either step fails.
bool loadPngTexture(const std::string& path, sf::Texture& texture);

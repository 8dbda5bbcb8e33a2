#pragma once

#include "platform/RegularFile.h"

#include <SFML/Graphics/Image.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

// Pictures decoded ahead of the graphics driver, keyed by their path: decoding
// needs no graphics, so it can run on another thread while the window comes
// up, and the content store then only hands the pixels to the driver.
class DecodedImages
{
public:
    // Decodes the PNG file at `path` (loadPngImage, refusing a picture over
    // `maxDecodedBytes`) and keeps it; the picture kept, or null, and nothing
    // kept, when it does not decode; `result`, when given, then says why.
    const sf::Image* decode(const std::string& path, std::size_t maxDecodedBytes = SIZE_MAX,
                            ReadResult* result = nullptr);

    // The picture decoded for `path`; null when none was kept for it (the
    // caller then reads the file itself).
    const sf::Image* find(const std::string& path) const;

    // Moves the picture decoded for `path` into `image` and forgets it; false,
    // and `image` unchanged, when none was kept for it.
    bool take(const std::string& path, sf::Image& image);

private:
    std::unordered_map<std::string, sf::Image> images;
};

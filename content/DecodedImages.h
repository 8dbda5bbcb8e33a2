#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>
#include <unordered_map>

// Pictures decoded ahead of the graphics driver, keyed by their path: decoding
// needs no graphics, so it can run on another thread while the window comes
// up, and the content store then only hands the pixels to the driver.
class DecodedImages
{
public:
    // Decodes the PNG file at `path` (loadPngImage) and keeps it; false, and
    // nothing kept, when it does not decode.
    bool decode(const std::string& path);

    // The picture decoded for `path`; null when none was kept for it (the
    // caller then reads the file itself).
    const sf::Image* find(const std::string& path) const;

private:
    std::unordered_map<std::string, sf::Image> images;
};

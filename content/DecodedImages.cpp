#include "content/DecodedImages.h"

#include "content/ImageFile.h"

bool DecodedImages::decode(const std::string& path)
{
    // Decoded in place: a picture is not copied on its way in.
    const auto slot = images.try_emplace(path).first;
    if (loadPngImage(path, slot->second))
        return true;
    images.erase(slot);
    return false;
}

const sf::Image* DecodedImages::find(const std::string& path) const
{
    const auto found = images.find(path);
    return found == images.end() ? nullptr : &found->second;
}

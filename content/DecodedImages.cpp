#include "content/DecodedImages.h"

#include "content/ImageFile.h"

const sf::Image* DecodedImages::decode(const std::string& path, std::size_t maxDecodedBytes, ReadResult* result)
{
    // Decoded in place: a picture is not copied on its way in.
    const auto slot = images.try_emplace(path).first;
    const ReadResult read = loadPngImage(path, slot->second, maxDecodedBytes);
    if (result)
        *result = read;
    if (read)
        return &slot->second;
    images.erase(slot);
    return nullptr;
}

const sf::Image* DecodedImages::find(const std::string& path) const
{
    const auto found = images.find(path);
    return found == images.end() ? nullptr : &found->second;
}

bool DecodedImages::take(const std::string& path, sf::Image& image)
{
    const auto found = images.find(path);
    if (found == images.end())
        return false;
    image = std::move(found->second);
    images.erase(found);
    return true;
}

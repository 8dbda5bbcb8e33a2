#include "world/MapPicture.h"

#include "content/ContentPictures.h"
#include "world/AutoTile.h"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace
{
constexpr std::size_t RowBytes = std::size_t{MapPictureSide} * 4;

// a * b / 255 rounded, in the integer form 8-bit premultiplied blending uses.
inline unsigned multiply(unsigned a, unsigned b)
{
    const unsigned t = a * b;
    return (t + (t >> 8) + 0x80) >> 8;
}

// `source` (RGBA) over `target` (RGBA with premultiplied colour): the source
// is premultiplied, then colour and alpha alike are s + d * (1 - sa). Exact
// for opaque and fully transparent pixels; in between it rounds as 8-bit
// premultiplied painting does, Tiled's renderer included.
inline void blend(std::uint8_t* target, const std::uint8_t* source)
{
    const unsigned alpha = source[3];
    if (alpha == 255)
    {
        std::memcpy(target, source, 4);
        return;
    }
    if (alpha == 0)
        return;
    const unsigned rest = 255 - alpha;
    for (int channel = 0; channel < 3; ++channel)
        target[channel] = static_cast<std::uint8_t>(multiply(source[channel], alpha) + multiply(target[channel], rest));
    target[3] = static_cast<std::uint8_t>(alpha + multiply(target[3], rest));
}

// Premultiplied colour back to straight colour, rounded, for pixels that
// are neither opaque nor fully transparent.
void unpremultiply(std::vector<std::uint8_t>& pixels)
{
    for (std::size_t i = 0; i < pixels.size(); i += 4)
    {
        const unsigned alpha = pixels[i + 3];
        if (alpha == 255)
            continue;
        const unsigned factor = alpha == 0 ? 0 : (255u * 65536u + alpha / 2) / alpha;
        for (std::size_t channel = 0; channel < 3; ++channel)
            pixels[i + channel] = static_cast<std::uint8_t>(
                std::min(255u, (pixels[i + channel] * factor + 0x8000u) >> 16));
    }
}

// Texel `i` of a run of `size` pixels whose texture coordinates go from `from`
// to `from + extent` (a negative extent mirrors): the texel under the pixel's
// centre, kept inside the picture's `limit` texels.
inline long long texel(long long from, long long extent, long long size, long long i, long long limit)
{
    const long long t = extent >= 0 ? from + (i * extent) / size : from - 1 - (i * -extent) / size;
    return std::clamp(t, 0LL, limit - 1);
}

// Draws `piece` of `picture` with its top-left corner at picture pixel
// (left, top), as large as the piece, clipped to the map's picture.
void drawPiece(std::vector<std::uint8_t>& out, const sf::Image& picture, const sf::IntRect& piece, long long left,
               long long top)
{
    const long long width = std::llabs(static_cast<long long>(piece.width));
    const long long height = std::llabs(static_cast<long long>(piece.height));
    const sf::Vector2u size = picture.getSize();
    if (width == 0 || height == 0 || size.x == 0 || size.y == 0)
        return;
    const long long side = MapPictureSide;
    const long long x0 = std::max(left, 0LL), x1 = std::min(left + width, side);
    const long long y0 = std::max(top, 0LL), y1 = std::min(top + height, side);
    const std::uint8_t* pixels = picture.getPixelsPtr();
    for (long long y = y0; y < y1; ++y)
    {
        const long long ty = texel(piece.top, piece.height, height, y - top, size.y);
        const std::uint8_t* sourceRow = pixels + static_cast<std::size_t>(ty) * size.x * 4;
        std::uint8_t* targetRow = out.data() + static_cast<std::size_t>(y) * RowBytes;
        for (long long x = x0; x < x1; ++x)
        {
            const long long tx = texel(piece.left, piece.width, width, x - left, size.x);
            blend(targetRow + x * 4, sourceRow + tx * 4);
        }
    }
}

const FieldValues& at(const std::vector<FieldValues>& fields, int column, int row)
{
    return fields[static_cast<std::size_t>(FieldMap::index(column, row))];
}

// The ground layer's piece of field (c, r) as the auto-tiling rule chooses it;
// the outer ring keeps a new field's piece.
sf::IntRect groundPiece(const std::vector<FieldValues>& fields, int column, int row)
{
    if (column < 1 || row < 1 || column > MapSize - 2 || row > MapSize - 2)
        return {0, 0, FieldSize, FieldSize};
    return autoTilePiece(autoTileKeyAt(column, row, [&fields](int c, int r) {
        const FieldValues& field = at(fields, c, r);
        return GroundLayers{field.groundType, field.underType};
    }));
}
} // namespace

sf::IntRect mapGroundPiece(const std::vector<FieldValues>& fields, int column, int row)
{
    assert(fields.size() == static_cast<std::size_t>(FieldCount));
    assert(column >= 0 && column < MapSize && row >= 0 && row < MapSize);
    return groundPiece(fields, column, row);
}

sf::Image cutPiece(const sf::Image& picture, const sf::IntRect& piece)
{
    const long long width = std::llabs(static_cast<long long>(piece.width));
    const long long height = std::llabs(static_cast<long long>(piece.height));
    const sf::Vector2u size = picture.getSize();
    sf::Image out;
    if (width == 0 || height == 0 || size.x == 0 || size.y == 0)
        return out;
    out.create(static_cast<unsigned>(width), static_cast<unsigned>(height), sf::Color::Transparent);
    for (long long y = 0; y < height; ++y)
    {
        const long long ty = texel(piece.top, piece.height, height, y, size.y);
        for (long long x = 0; x < width; ++x)
        {
            const long long tx = texel(piece.left, piece.width, width, x, size.x);
            out.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                         picture.getPixel(static_cast<unsigned>(tx), static_cast<unsigned>(ty)));
        }
    }
    return out;
}

std::vector<FieldValues> mapValues(const FieldMap& map)
{
    std::vector<FieldValues> values;
    values.reserve(FieldCount);
    for (const Field& field : map.fields())
        values.push_back(field.values());
    return values;
}

std::vector<std::uint8_t> composeMapPicture(const std::vector<FieldValues>& fields, const ContentPictures& content)
{
    std::vector<std::uint8_t> out(RowBytes * MapPictureSide, 0);
    assert(fields.size() == static_cast<std::size_t>(FieldCount));
    if (fields.size() != static_cast<std::size_t>(FieldCount))
        return out;
    const sf::IntRect interior(0, 0, FieldSize, FieldSize);
    for (int column = 0; column < MapSize; ++column)
    {
        for (int row = 0; row < MapSize; ++row)
        {
            const FieldValues& field = at(fields, column, row);
            const long long x = FieldSize * column, y = FieldSize * row;
            if (const sf::Image* under = content.groundSheet(field.underType))
                drawPiece(out, *under, interior, x, y);
            if (const sf::Image* ground = content.groundSheet(field.groundType))
                drawPiece(out, *ground, groundPiece(fields, column, row), x, y);
        }
    }
    for (int row = 0; row < MapSize; ++row)
    {
        for (int column = 0; column < MapSize; ++column)
        {
            const int id = at(fields, column, row).objectId;
            const ObjectType* object = id != 0 ? content.object(id) : nullptr;
            const sf::Image* picture = object ? content.objectPicture(id) : nullptr;
            if (!picture)
                continue;
            // Where the map puts the picture: its origin on the field's
            // corner, in the float arithmetic of the scene. A wild origin
            // is kept within reach of 64-bit arithmetic.
            const sf::Vector2f& origin = object->sprite.getOrigin();
            constexpr double Far = 1e15;
            const double left = std::clamp(
                std::floor(static_cast<double>(static_cast<float>(FieldSize * column) - origin.x)), -Far, Far);
            const double top =
                std::clamp(std::floor(static_cast<double>(static_cast<float>(FieldSize * row) - origin.y)), -Far, Far);
            drawPiece(out, *picture, object->sprite.getTextureRect(), static_cast<long long>(left),
                      static_cast<long long>(top));
        }
    }
    unpremultiply(out);
    return out;
}

#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <cstddef>
#include <vector>

namespace sf
{
class Drawable;
class RenderTarget;
class Texture;
} // namespace sf

class FieldMap;
class FrameKey;
class ObjectSprite;

// Draws a map's view from its values, in batches: one draw call per texture
// where no other picture lies between. Keeps its vertex memory between
// frames; holds nothing of the map.
class WorldRenderer
{
public:
    // Draws `map` into `target` (scene pixels): the under, then the ground
    // layer of the fields in the map's ground window (the under layer shows
    // its type's interior piece, the ground layer the field's piece), the
    // objects of the fields in its object window whose picture stands above
    // `betweenY`, then `between` (the player), then the objects level with or
    // below it (lower rows over upper ones, left to right in a row). Each
    // object's picture has its origin on its field's position. The pixels are
    // those of drawing every layer and object as its own sprite in that
    // order. Object pictures are taken as defined, never scaled or rotated;
    // a ground type or picture without a texture draws nothing.
    void draw(sf::RenderTarget& target, const FieldMap& map, const sf::Drawable& between, float betweenY);
    // Adds what draw() shows of `map` to `key` (see FrameKey); `between` is
    // its owner's to describe.
    static void describe(FrameKey& key, const FieldMap& map);

    // Draw calls made by the last draw, for the benchmarks and the profile.
    int drawCalls() const { return lastDrawCalls; }

private:
    // Quads of one texture, drawn with one call.
    struct Batch
    {
        const sf::Texture* texture = nullptr;
        std::vector<sf::Vertex> vertices;
    };
    // Object quads of one texture with their bounds, scene pixels.
    struct ObjectBatch
    {
        const sf::Texture* texture = nullptr;
        std::vector<sf::Vertex> vertices;
        std::vector<sf::FloatRect> quads;
        sf::FloatRect bounds;
    };
    static void appendGround(std::vector<Batch>& batches, const sf::Texture* texture, sf::Vector2f position,
                             const sf::IntRect& piece);
    void drawBatches(sf::RenderTarget& target, std::vector<Batch>& batches);
    void drawObjects(sf::RenderTarget& target, const FieldMap& map, float betweenY, bool inFront);
    void appendObject(const sf::Texture* texture, const ObjectSprite& picture, sf::Vector2f position);

    std::vector<Batch> underBatches;
    std::vector<Batch> groundBatches;
    std::vector<ObjectBatch> objectBatches;
    std::size_t objectBatchesUsed = 0;
    int lastDrawCalls = 0;
};

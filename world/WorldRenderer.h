#pragma once

#include "world/FieldMap.h"

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
class GameData;
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
    // Draws, in the same order, every field and object of `map` whose
    // picture may reach into `area` (scene pixels), whatever the map's
    // windows, with `between` (when given) as draw() has it; the caller's
    // view clips the drawing to the area. Adds to drawCalls().
    void drawArea(sf::RenderTarget& target, const FieldMap& map, const sf::IntRect& area, const sf::Drawable* between,
                  float betweenY);
    // Starts counting the draw calls of a frame afresh; counts `calls` more.
    void resetDrawCalls() { lastDrawCalls = 0; }
    void countDrawCalls(int calls) { lastDrawCalls += calls; }

    // How far any picture of a field (its ground or the picture of any object
    // `content` defines) may reach from the field's position, scene pixels:
    // left and up of it, right and down from it.
    struct Reach
    {
        int left = 0, up = 0, right = FieldSize, down = FieldSize;
    };
    static Reach reach(const GameData& content);
    // The fields of `map` whose pictures may reach into `area` (scene pixels).
    static FieldRange fieldsReaching(const FieldMap& map, const sf::IntRect& area);
    // Adds what draw() shows of `map` to `key` (see FrameKey); `between` is
    // its owner's to describe.
    static void describe(FrameKey& key, const FieldMap& map);

    // Draw calls made by the last draw (and the areas since), for the benchmarks and the profile.
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
    void drawFields(sf::RenderTarget& target, const FieldMap& map, const FieldRange& range,
                    const FieldRange& objectRange, const sf::Drawable* between, float betweenY);
    void drawObjects(sf::RenderTarget& target, const FieldMap& map, const FieldRange& range, float betweenY,
                     bool inFront);
    void appendObject(const sf::Texture* texture, const ObjectSprite& picture, sf::Vector2f position);

    std::vector<Batch> underBatches;
    std::vector<Batch> groundBatches;
    std::vector<ObjectBatch> objectBatches;
    std::size_t objectBatchesUsed = 0;
    int lastDrawCalls = 0;
};

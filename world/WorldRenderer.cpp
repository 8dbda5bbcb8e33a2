#include "world/WorldRenderer.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "platform/FrameKey.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace
{
void appendQuad(std::vector<sf::Vertex>& vertices, sf::Vector2f topLeft, sf::Vector2f size, const sf::IntRect& piece)
{
    // Same corners and the same diagonal as sf::Sprite's triangle strip, so the
    // pixels come out exactly as if each were drawn as a sprite.
    const float left = topLeft.x;
    const float top = topLeft.y;
    const float right = left + size.x;
    const float bottom = top + size.y;
    const float u0 = static_cast<float>(piece.left);
    const float v0 = static_cast<float>(piece.top);
    const float u1 = u0 + static_cast<float>(piece.width);
    const float v1 = v0 + static_cast<float>(piece.height);
    const sf::Vertex a({left, top}, {u0, v0});
    const sf::Vertex b({left, bottom}, {u0, v1});
    const sf::Vertex c({right, top}, {u1, v0});
    const sf::Vertex d({right, bottom}, {u1, v1});
    vertices.insert(vertices.end(), {a, b, c, c, b, d});
}

// Whether two quads share a pixel. Quads that only touch do not: the
// rasteriser gives every pixel on a shared edge to exactly one of them.
bool quadsOverlap(const sf::FloatRect& a, const sf::FloatRect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

sf::FloatRect unite(const sf::FloatRect& a, const sf::FloatRect& b)
{
    const float left = std::min(a.left, b.left);
    const float top = std::min(a.top, b.top);
    const float right = std::max(a.left + a.width, b.left + b.width);
    const float bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}
} // namespace

void WorldRenderer::appendGround(std::vector<Batch>& batches, const sf::Texture* texture, sf::Vector2f position,
                                 const sf::IntRect& piece)
{
    if (!texture)
        return;
    auto batch = std::find_if(batches.begin(), batches.end(), [texture](const Batch& b) { return b.texture == texture; });
    if (batch == batches.end())
    {
        batches.push_back({texture, {}});
        batch = batches.end() - 1;
    }
    appendQuad(batch->vertices, position, {float(piece.width), float(piece.height)}, piece);
}

void WorldRenderer::drawBatches(sf::RenderTarget& target, std::vector<Batch>& batches)
{
    for (Batch& batch : batches)
    {
        if (!batch.vertices.empty())
        {
            sf::RenderStates states;
            states.texture = batch.texture;
            target.draw(batch.vertices.data(), batch.vertices.size(), sf::Triangles, states);
            ++lastDrawCalls;
        }
        batch.vertices.clear(); // keeps the capacity for the next frame
    }
}

void WorldRenderer::appendObject(const sf::Texture* texture, const ObjectSprite& picture, sf::Vector2f position)
{
    const sf::IntRect& piece = picture.getTextureRect();
    const sf::Vector2f topLeft = position - picture.getOrigin();
    // A sprite's quad is as large as its piece, whatever the piece's
    // direction; a negative width only mirrors the picture.
    const sf::Vector2f size(static_cast<float>(std::llabs(piece.width)), static_cast<float>(std::llabs(piece.height)));
    const sf::FloatRect quad(topLeft, size);

    // The object must come out over every earlier object it overlaps. It may
    // join the latest batch of its texture if no batch after that one holds
    // a quad it overlaps; objects that do not overlap can go in any order
    // without changing a pixel.
    std::size_t target = objectBatchesUsed;
    for (std::size_t b = objectBatchesUsed; b-- > 0;)
    {
        const ObjectBatch& batch = objectBatches[b];
        if (batch.texture == texture)
        {
            target = b;
            break;
        }
        if (quadsOverlap(batch.bounds, quad) &&
            std::any_of(batch.quads.begin(), batch.quads.end(),
                        [&quad](const sf::FloatRect& other) { return quadsOverlap(other, quad); }))
            break;
    }
    if (target == objectBatchesUsed)
    {
        if (objectBatchesUsed == objectBatches.size())
            objectBatches.emplace_back();
        ObjectBatch& fresh = objectBatches[objectBatchesUsed++];
        fresh.texture = texture;
        fresh.vertices.clear(); // keeps the capacity of earlier frames
        fresh.quads.clear();
        fresh.bounds = quad;
    }
    ObjectBatch& batch = objectBatches[target];
    appendQuad(batch.vertices, topLeft, size, piece);
    batch.quads.push_back(quad);
    batch.bounds = unite(batch.bounds, quad);
}

void WorldRenderer::drawObjects(sf::RenderTarget& target, const FieldMap& map, const FieldRange& range, float betweenY,
                                bool inFront)
{
    // Row by row, so objects of lower rows cover those above them.
    objectBatchesUsed = 0;
    for (int row = range.firstRow; row <= range.lastRow; ++row)
    {
        for (int column = range.firstColumn; column <= range.lastColumn; ++column)
        {
            const ObjectType* object = map.objectType(column, row);
            if (!object)
                continue;
            const sf::Vector2f position = map.position(column, row);
            const bool depthMatches = inFront ? position.y >= betweenY : betweenY > position.y;
            const sf::Texture* texture = object->sprite.getTexture();
            if (depthMatches && texture)
                appendObject(texture, object->sprite, position);
        }
    }
    for (std::size_t b = 0; b < objectBatchesUsed; ++b)
    {
        sf::RenderStates states;
        states.texture = objectBatches[b].texture;
        target.draw(objectBatches[b].vertices.data(), objectBatches[b].vertices.size(), sf::Triangles, states);
        ++lastDrawCalls;
    }
}

void WorldRenderer::draw(sf::RenderTarget& target, const FieldMap& map, const sf::Drawable& between, float betweenY)
{
    lastDrawCalls = 0;
    drawFields(target, map, map.fieldsIn(map.groundWindow()), map.fieldsIn(map.objectWindow()), &between, betweenY);
}

void WorldRenderer::drawArea(sf::RenderTarget& target, const FieldMap& map, const sf::IntRect& area,
                             const sf::Drawable* between, float betweenY)
{
    const int areaRight = area.left + area.width, areaBottom = area.top + area.height;
    const PixelWindow ground{area.left - FieldSize, area.top - FieldSize, areaRight, areaBottom};
    drawFields(target, map, map.fieldsIn(ground), fieldsReaching(map, area), between, betweenY);
}

WorldRenderer::Reach WorldRenderer::reach(const GameData& content)
{
    Reach most;
    for (int id = 1; id < content.objectCount(); ++id)
    {
        if (const ObjectType* object = content.object(id))
        {
            const sf::IntRect& piece = object->sprite.getTextureRect();
            const sf::Vector2f origin = object->sprite.getOrigin();
            const int originX = static_cast<int>(std::ceil(origin.x)), originY = static_cast<int>(std::ceil(origin.y));
            most.left = std::max(most.left, originX);
            most.up = std::max(most.up, originY);
            most.right = std::max(most.right, std::abs(piece.width) - originX + 1);
            most.down = std::max(most.down, std::abs(piece.height) - originY + 1);
        }
    }
    return most;
}

FieldRange WorldRenderer::fieldsReaching(const FieldMap& map, const sf::IntRect& area)
{
    const Reach most = reach(map.content());
    // A pixel of margin each way for the truncation of positions.
    const int areaRight = area.left + area.width, areaBottom = area.top + area.height;
    return map.fieldsIn(
        {area.left - most.right - 1, area.top - most.down - 1, areaRight + most.left + 1, areaBottom + most.up + 1});
}

void WorldRenderer::drawFields(sf::RenderTarget& target, const FieldMap& map, const FieldRange& range,
                               const FieldRange& objectRange, const sf::Drawable* between, float betweenY)
{
    const GameData& content = map.content();
    const sf::IntRect interior = autoTilePiece(InteriorPieceKey);
    // Fields never overlap, so every under layer can go before every ground
    // layer, grouped by texture, with the same pixels as field by field.
    for (int column = range.firstColumn; column <= range.lastColumn; ++column)
    {
        for (int row = range.firstRow; row <= range.lastRow; ++row)
        {
            const Field& field = map.at(column, row);
            const sf::Vector2f position = map.position(column, row);
            appendGround(underBatches, content.fieldTexture(field.underType()), position, interior);
            appendGround(groundBatches, content.fieldTexture(field.groundType()), position, field.groundPiece());
        }
    }
    drawBatches(target, underBatches);
    drawBatches(target, groundBatches);

    if (!between)
    {
        drawObjects(target, map, objectRange, std::numeric_limits<float>::infinity(), false);
        return;
    }
    drawObjects(target, map, objectRange, betweenY, false);
    target.draw(*between);
    ++lastDrawCalls;
    drawObjects(target, map, objectRange, betweenY, true);
}

void WorldRenderer::describe(FrameKey& key, const FieldMap& map)
{
    key.add(map.origin()).add(map.revision()).add(map.drawRevision());
}

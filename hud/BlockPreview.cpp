#include "hud/BlockPreview.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "world/FieldBlock.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cstdlib>

namespace
{
void appendQuad(std::vector<sf::Vertex>& vertices, sf::Vector2f topLeft, const sf::IntRect& piece)
{
    const sf::Color colour(255, 255, 255, BlockPreviewAlpha);
    const float right = topLeft.x + static_cast<float>(std::abs(piece.width));
    const float bottom = topLeft.y + static_cast<float>(std::abs(piece.height));
    const float u0 = static_cast<float>(piece.left);
    const float v0 = static_cast<float>(piece.top);
    const float u1 = u0 + static_cast<float>(piece.width);
    const float v1 = v0 + static_cast<float>(piece.height);
    const sf::Vertex a({topLeft.x, topLeft.y}, colour, {u0, v0});
    const sf::Vertex b({topLeft.x, bottom}, colour, {u0, v1});
    const sf::Vertex c({right, topLeft.y}, colour, {u1, v0});
    const sf::Vertex d({right, bottom}, colour, {u1, v1});
    vertices.insert(vertices.end(), {a, b, c, c, b, d});
}

// The fields of `window` that the block covers, in block coordinates.
FieldRange blockPart(const FieldRange& window, const FieldBlock& block, sf::Vector2i topLeft)
{
    return {std::max(window.firstColumn - topLeft.x, 0), std::max(window.firstRow - topLeft.y, 0),
            std::min(window.lastColumn - topLeft.x, block.width() - 1),
            std::min(window.lastRow - topLeft.y, block.height() - 1)};
}
} // namespace

BlockPreview::Batch& BlockPreview::batchOf(const sf::Texture* texture)
{
    const auto found =
        std::find_if(batches.begin(), batches.end(), [texture](const Batch& b) { return b.texture == texture; });
    if (found != batches.end())
        return *found;
    batches.push_back({texture, {}});
    return batches.back();
}

void BlockPreview::flush(sf::RenderTarget& target)
{
    for (Batch& batch : batches)
    {
        if (!batch.vertices.empty())
        {
            sf::RenderStates states;
            states.texture = batch.texture;
            target.draw(batch.vertices.data(), batch.vertices.size(), sf::Triangles, states);
        }
        batch.vertices.clear(); // keeps the capacity for the next frame
    }
}

void BlockPreview::draw(sf::RenderTarget& target, const FieldMap& map, const FieldBlock& block, sf::Vector2i topLeft)
{
    const GameData& content = map.content();
    // Ground pieces never overlap, so they go by texture in any order.
    const FieldRange ground = blockPart(map.fieldsIn(map.groundWindow()), block, topLeft);
    const sf::IntRect interior = autoTilePiece(InteriorPieceKey);
    for (int row = ground.firstRow; row <= ground.lastRow; ++row)
        for (int column = ground.firstColumn; column <= ground.lastColumn; ++column)
            if (const sf::Texture* texture = content.fieldTexture(block.at(column, row).groundType))
                appendQuad(batchOf(texture).vertices, map.position(topLeft.x + column, topLeft.y + row), interior);
    flush(target);

    // Objects may overlap: one batch per run of the same texture keeps their order.
    const FieldRange objects = blockPart(map.fieldsIn(map.objectWindow()), block, topLeft);
    Batch* run = nullptr;
    for (int row = objects.firstRow; row <= objects.lastRow; ++row)
    {
        for (int column = objects.firstColumn; column <= objects.lastColumn; ++column)
        {
            const ObjectType* object = content.object(block.at(column, row).objectId);
            const sf::Texture* texture = object ? object->sprite.getTexture() : nullptr;
            if (block.at(column, row).objectId == 0 || !texture)
                continue;
            if (!run || run->texture != texture)
            {
                flush(target);
                run = &batchOf(texture);
            }
            const sf::Vector2f position = map.position(topLeft.x + column, topLeft.y + row);
            appendQuad(run->vertices, position - object->sprite.getOrigin(), object->sprite.getTextureRect());
        }
    }
    flush(target);
}

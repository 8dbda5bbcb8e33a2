#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

namespace sf
{
class RenderTarget;
class Texture;
} // namespace sf

class FieldBlock;
class FieldMap;

constexpr sf::Uint8 BlockPreviewAlpha = 128; // of 255: the map shows through the preview

// The clipboard shown where a paste would put it, see-through, over the map.
// Keeps its vertex memory between frames; holds nothing of the block.
class BlockPreview
{
public:
    // Draws `block` into `target` (scene pixels) with its top-left field on
    // field `topLeft` of `map`, at BlockPreviewAlpha: first the ground layer of
    // every field, its type's interior piece, then the objects row by row, as
    // the map places them (a field's position and the picture's origin).
    // Fields off the map are left out, as are ground outside the map's ground
    // window and objects outside its object window. What has no texture draws
    // nothing.
    void draw(sf::RenderTarget& target, const FieldMap& map, const FieldBlock& block, sf::Vector2i topLeft);

private:
    // Quads of one texture, drawn with one call.
    struct Batch
    {
        const sf::Texture* texture = nullptr;
        std::vector<sf::Vertex> vertices;
    };
    Batch& batchOf(const sf::Texture* texture);
    void flush(sf::RenderTarget& target);

    std::vector<Batch> batches;
};

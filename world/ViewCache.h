#pragma once

#include "world/FieldMap.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <cstdint>
#include <vector>

namespace sf
{
class Drawable;
class RenderTarget;
} // namespace sf

class WorldRenderer;

// Draws a map's view as WorldRenderer::draw does, for views too large to
// draw whole every frame: the ground and the objects stay in a texture of
// the view's size between frames, held by the map's pixels (it wraps around
// at its edges as the view moves), and a frame draws into it only what came
// into view and the surroundings of the fields whose values or pieces
// changed, copies it onto the target, and draws the area of the picture
// between the objects afresh, in depth order. Every object whose picture
// reaches into the view is drawn, whatever the map's windows. A map origin
// off the whole pixels is drawn whole every frame. Its texture is made once
// and kept: one cache for each size of view.
class ViewCache
{
public:
    // Draws `map`'s view into `target`, whose view must show the map's view
    // (scene pixels); `between` stands between the objects as in
    // WorldRenderer::draw and covers `betweenArea` (scene pixels).
    void draw(sf::RenderTarget& target, const FieldMap& map, const sf::Drawable& between,
              const sf::FloatRect& betweenArea, float betweenY, WorldRenderer& renderer);

private:
    // What the texture shows of one field.
    struct Seen
    {
        std::int16_t ground = -1, under = -1, object = -1;
        std::uint8_t piece = 0;
        bool operator!=(const Seen& o) const
        {
            return ground != o.ground || under != o.under || object != o.object || piece != o.piece;
        }
    };
    // Draws the map's part `area` (pixels from the map origin) into the texture.
    void render(const FieldMap& map, const sf::IntRect& area, sf::Vector2i origin, WorldRenderer& renderer);
    // Compares the fields that reach into `area` (from the map origin) with
    // what was drawn of them; the pixels their changes reach, empty when none.
    sf::IntRect changedArea(const FieldMap& map, const sf::IntRect& area, sf::Vector2i origin);

    sf::RenderTexture texture;
    bool valid = false;
    sf::IntRect held;              // the part of the map the texture holds, pixels from the map origin
    std::vector<Seen> seen;        // by storage index
    sf::VertexArray copy;          // the texture's pieces onto the target
};

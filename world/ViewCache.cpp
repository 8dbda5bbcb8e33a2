#include "world/ViewCache.h"

#include "world/WorldRenderer.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
// x modulo m, from 0 to m - 1.
int wrap(int x, int m)
{
    const int r = x % m;
    return r < 0 ? r + m : r;
}

sf::IntRect unite(const sf::IntRect& a, const sf::IntRect& b)
{
    if (a.width <= 0 || a.height <= 0)
        return b;
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

// Pieces of `area` cut at the texture's wrap lines: each with where it lies
// in the texture, sizes `size`.
template <typename Piece>
void eachPiece(const sf::IntRect& area, sf::Vector2i size, const Piece& piece)
{
    const int tx = wrap(area.left, size.x), ty = wrap(area.top, size.y);
    const int w1 = std::min(area.width, size.x - tx), h1 = std::min(area.height, size.y - ty);
    // Offset into the area, its length, where it starts in the texture.
    const int columns[2][3] = {{0, w1, tx}, {w1, area.width - w1, 0}};
    const int rows[2][3] = {{0, h1, ty}, {h1, area.height - h1, 0}};
    for (const auto& x : columns)
        for (const auto& y : rows)
            if (x[1] > 0 && y[1] > 0)
                piece(sf::IntRect(area.left + x[0], area.top + y[0], x[1], y[1]), sf::Vector2i(x[2], y[2]));
}

// Draws over `area` of `target` (in its view's units) in the background
// colour, replacing what was there.
void blank(sf::RenderTarget& target, const sf::FloatRect& area)
{
    sf::RectangleShape background({area.width, area.height});
    background.setPosition(area.left, area.top);
    background.setFillColor(sf::Color::Blue);
    target.draw(background, sf::RenderStates(sf::BlendNone));
}
} // namespace

void ViewCache::draw(sf::RenderTarget& target, const FieldMap& map, const sf::Drawable& between,
                     const sf::FloatRect& betweenArea, float betweenY, WorldRenderer& renderer)
{
    renderer.resetDrawCalls();
    const sf::Vector2f mapOrigin = map.origin();
    const sf::IntRect view(map.viewCorner(), map.viewSize());
    if (mapOrigin.x != std::floor(mapOrigin.x) || mapOrigin.y != std::floor(mapOrigin.y) ||
        std::abs(mapOrigin.x) > 1e6f || std::abs(mapOrigin.y) > 1e6f)
    {
        // Off the whole pixels the fields fall on other pixels of the texture.
        valid = false;
        renderer.drawArea(target, map, view, &between, betweenY);
        return;
    }
    const sf::Vector2i origin(static_cast<int>(mapOrigin.x), static_cast<int>(mapOrigin.y));
    const sf::IntRect wanted(view.left - origin.x, view.top - origin.y, view.width, view.height);
    if (seen.empty())
        seen.resize(FieldCount);

    if (!valid || texture.getSize() != sf::Vector2u(unsigned(view.width), unsigned(view.height)))
    {
        if (texture.getSize().x == 0)
            texture.create(unsigned(view.width), unsigned(view.height));
        assert(texture.getSize() == sf::Vector2u(unsigned(view.width), unsigned(view.height)));
        changedArea(map, wanted, origin); // takes note of every field
        render(map, wanted, origin, renderer);
    }
    else
    {
        sf::IntRect stale = changedArea(map, wanted, origin);
        sf::IntRect kept;
        if (!held.intersects(wanted, kept))
            stale = wanted;
        // What came into view: a band on each side the view moved past.
        if (wanted.left < kept.left)
            render(map, {wanted.left, wanted.top, kept.left - wanted.left, wanted.height}, origin, renderer);
        if (wanted.left + wanted.width > kept.left + kept.width)
            render(map, {kept.left + kept.width, wanted.top, wanted.left + wanted.width - kept.left - kept.width,
                         wanted.height},
                   origin, renderer);
        if (wanted.top < kept.top)
            render(map, {kept.left, wanted.top, kept.width, kept.top - wanted.top}, origin, renderer);
        if (wanted.top + wanted.height > kept.top + kept.height)
            render(map, {kept.left, kept.top + kept.height, kept.width, wanted.top + wanted.height - kept.top - kept.height},
                   origin, renderer);
        sf::IntRect changed;
        if (stale.intersects(wanted, changed))
            render(map, changed, origin, renderer);
    }
    held = wanted;
    valid = true;
    texture.display();

    // The held part of the map onto the target, piece by piece of the wrapped texture.
    copy.setPrimitiveType(sf::Triangles);
    copy.clear();
    eachPiece(wanted, {view.width, view.height}, [&](const sf::IntRect& piece, sf::Vector2i at) {
        const float left = float(piece.left + origin.x), top = float(piece.top + origin.y);
        const float right = left + float(piece.width), bottom = top + float(piece.height);
        const float u0 = float(at.x), v0 = float(at.y), u1 = u0 + float(piece.width), v1 = v0 + float(piece.height);
        const sf::Vertex a({left, top}, {u0, v0}), b({left, bottom}, {u0, v1}), c({right, top}, {u1, v0}),
            d({right, bottom}, {u1, v1});
        for (const sf::Vertex& vertex : {a, b, c, c, b, d})
            copy.append(vertex);
    });
    sf::RenderStates states(sf::BlendNone);
    states.texture = &texture.getTexture();
    target.draw(copy, states);
    renderer.countDrawCalls(1);

    // The picture between the objects, and what lies over and under it, afresh.
    const sf::IntRect betweenPixels(static_cast<int>(std::floor(betweenArea.left)),
                                    static_cast<int>(std::floor(betweenArea.top)),
                                    static_cast<int>(std::ceil(betweenArea.left + betweenArea.width)) -
                                        static_cast<int>(std::floor(betweenArea.left)),
                                    static_cast<int>(std::ceil(betweenArea.top + betweenArea.height)) -
                                        static_cast<int>(std::floor(betweenArea.top)));
    sf::IntRect patch;
    if (betweenPixels.intersects(view, patch))
    {
        const sf::View whole = target.getView();
        sf::View part{sf::FloatRect(patch)};
        part.setViewport({float(patch.left - view.left) / float(view.width), float(patch.top - view.top) / float(view.height),
                          float(patch.width) / float(view.width), float(patch.height) / float(view.height)});
        target.setView(part);
        blank(target, sf::FloatRect(patch));
        renderer.drawArea(target, map, patch, &between, betweenY);
        target.setView(whole);
    }
}

void ViewCache::render(const FieldMap& map, const sf::IntRect& area, sf::Vector2i origin, WorldRenderer& renderer)
{
    const sf::Vector2u size = texture.getSize();
    eachPiece(area, sf::Vector2i(size), [&](const sf::IntRect& piece, sf::Vector2i at) {
        const sf::FloatRect scene(float(piece.left + origin.x), float(piece.top + origin.y), float(piece.width),
                                  float(piece.height));
        sf::View part(scene);
        part.setViewport({float(at.x) / float(size.x), float(at.y) / float(size.y), float(piece.width) / float(size.x),
                          float(piece.height) / float(size.y)});
        texture.setView(part);
        blank(texture, scene);
        renderer.drawArea(texture, map, sf::IntRect(scene), nullptr, 0.f);
    });
}

sf::IntRect ViewCache::changedArea(const FieldMap& map, const sf::IntRect& area, sf::Vector2i origin)
{
    const sf::IntRect scene(area.left + origin.x, area.top + origin.y, area.width, area.height);
    const FieldRange range = WorldRenderer::fieldsReaching(map, scene);
    const WorldRenderer::Reach reach = WorldRenderer::reach(map.content());
    sf::IntRect changed;
    for (int column = range.firstColumn; column <= range.lastColumn; ++column)
    {
        for (int row = range.firstRow; row <= range.lastRow; ++row)
        {
            const Field& field = map.at(column, row);
            const Seen now{static_cast<std::int16_t>(field.groundType()), static_cast<std::int16_t>(field.underType()),
                           static_cast<std::int16_t>(field.objectId()), static_cast<std::uint8_t>(field.pieceKey())};
            Seen& before = seen[static_cast<std::size_t>(FieldMap::index(column, row))];
            if (now != before)
            {
                before = now;
                // Pixels from the map origin: the field at (16 c, 16 r).
                changed = unite(changed, {FieldSize * column - reach.left - 1, FieldSize * row - reach.up - 1,
                                          reach.left + reach.right + 2, reach.up + reach.down + 2});
            }
        }
    }
    return changed;
}

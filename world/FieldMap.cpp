#include "world/FieldMap.h"

#include "content/GameData.h"
#include "world/AutoTile.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
// The columns (or rows) whose truncated position, origin + 16 * i, can fall
// into [low, high]: one field of slack on each side, the exact test is made on
// every candidate. Fields stand on one lattice, so no field outside the range
// can pass the test.
void candidateRange(float origin, int low, int high, int& first, int& last)
{
    const double o = origin;
    const double f = std::floor((low - o) / FieldSize) - 1;
    const double l = std::ceil((high - o) / FieldSize) + 1;
    first = static_cast<int>(std::clamp(f, 0.0, double(MapSize)));
    last = static_cast<int>(std::clamp(l, -1.0, double(MapSize - 1)));
}

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
} // namespace

FieldMap::FieldMap(const GameData* content) : store(nullptr), storage(FieldCount)
{
    for (int column = 0; column < MapSize; ++column)
    {
        for (int row = 0; row < MapSize; ++row)
        {
            Field& field = fieldAt(column, row);
            const sf::Vector2f position(float(column * FieldSize), float(row * FieldSize));
            for (FieldSprite* layer : {&field.groundSprite, &field.underSprite})
            {
                layer->setTextureRect({0, 0, FieldSize, FieldSize});
                layer->setPosition(position);
            }
        }
    }
    attachContent(content);
}

void FieldMap::attachContent(const GameData* content)
{
    store = content;
    ++drawChanges;
    for (Field& field : storage)
    {
        field.content = content;
        const sf::Texture* ground = content ? content->fieldTexture(field.groundType) : nullptr;
        const sf::Texture* under = content ? content->fieldTexture(field.underType) : nullptr;
        if (ground)
            field.groundSprite.setTexture(*ground);
        if (under)
            field.underSprite.setTexture(*under);
    }
}

bool FieldMap::paintGround(int column, int row, int type, bool underLayer)
{
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    if (!field.setGround(type, underLayer))
        return false;
    if (field.values() != before)
        changed(column, row, before);
    return true;
}

bool FieldMap::setObject(int column, int row, int id)
{
    const ObjectType* definition = store ? store->object(id) : nullptr;
    if (!definition)
        return false;
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    // A field that never had an object and one whose object was removed both
    // hold object 0, but only the second shows definition 0's message.
    if (field.object.type() != definition)
    {
        field.object.assign(definition);
        ++drawChanges;
    }
    if (before.objectId != id)
        changed(column, row, before);
    return true;
}

void FieldMap::setSolid(int column, int row, bool solid)
{
    Field& field = fieldAt(column, row);
    if (field.solid == solid)
        return;
    const FieldValues before = field.values();
    field.solid = solid;
    changed(column, row, before);
}

bool FieldMap::setValues(int column, int row, const FieldValues& values)
{
    const sf::Texture* ground = store ? store->fieldTexture(values.groundType) : nullptr;
    const sf::Texture* under = store ? store->fieldTexture(values.underType) : nullptr;
    const ObjectType* definition = store ? store->object(values.objectId) : nullptr;
    // The default type is taken without a texture, as a new map has it.
    if ((!ground && values.groundType != DefaultGroundType) || (!under && values.underType != DefaultGroundType) ||
        !definition)
        return false;
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    if (values.groundType != before.groundType || values.underType != before.underType)
    {
        field.groundType = values.groundType;
        field.groundSprite.setTexture(ground);
        field.underType = values.underType;
        field.underSprite.setTexture(under);
        field.needsAutoTile = true;
    }
    if (field.object.type() != definition)
    {
        field.object.assign(definition);
        ++drawChanges;
    }
    field.solid = values.solid;
    if (values != before)
        changed(column, row, before);
    return true;
}

void FieldMap::markAllForAutoTile()
{
    for (Field& field : storage)
        field.needsAutoTile = true;
}

void FieldMap::changed(int column, int row, const FieldValues& before)
{
    ++changes;
    ++drawChanges;
    for (FieldMapObserver* observer : observers)
        observer->fieldChanged(column, row, before);
}

void FieldMap::addObserver(FieldMapObserver* observer)
{
    if (std::find(observers.begin(), observers.end(), observer) == observers.end())
        observers.push_back(observer);
}

void FieldMap::removeObserver(FieldMapObserver* observer)
{
    observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

void FieldMap::settleRect(Field& field)
{
    // A field that is not solid needs no position at all.
    if (!field.solid)
    {
        field.collisionRect = sf::IntRect();
        return;
    }
    field.collisionRect = solidRectAt(field.groundSprite.getPosition());
}

void FieldMap::placeObjects()
{
    // Only the few columns and rows that can reach the placement window are
    // tested; which of them pass is decided by the exact test, as for every
    // field. Placing touches nothing but the field's own object, so doing it
    // after the rectangles changes no result.
    const sf::Vector2f& o = origin();
    int firstColumn, lastColumn, firstRow, lastRow;
    candidateRange(o.x, PlacementWindow.left, PlacementWindow.right, firstColumn, lastColumn);
    candidateRange(o.y, PlacementWindow.top, PlacementWindow.bottom, firstRow, lastRow);
    for (int column = firstColumn; column <= lastColumn; ++column)
    {
        for (int row = firstRow; row <= lastRow; ++row)
        {
            Field& field = fieldAt(column, row);
            const sf::Vector2f& position = field.groundSprite.getPosition();
            if (!PlacementWindow.contains(truncatePixel(position.x), truncatePixel(position.y)))
                continue;
            PlacedObject& object = field.object;
            const bool wasPresent = object.present();
            const sf::Vector2f wasAt = object.position();
            object.placeAt(position);
            if (object.present() != wasPresent || object.position() != wasAt)
                ++drawChanges;
        }
    }
}

void FieldMap::scroll(float dx, float dy)
{
    if (dx != 0.f || dy != 0.f)
        ++drawChanges;
    for (Field& field : storage)
    {
        field.groundSprite.move(dx, dy);
        field.underSprite.move(dx, dy);
        settleRect(field);
    }
    placeObjects();
}

void FieldMap::refresh()
{
    autoTilePass();
    for (Field& field : storage)
        settleRect(field);
    placeObjects();
}

void FieldMap::setOrigin(float x, float y)
{
    ++drawChanges;
    for (int column = 0; column < MapSize; ++column)
    {
        for (int row = 0; row < MapSize; ++row)
        {
            Field& field = fieldAt(column, row);
            const sf::Vector2f position(float(FieldSize * column) + x, float(FieldSize * row) + y);
            field.groundSprite.setPosition(position);
            field.underSprite.setPosition(position);
        }
    }
}

void FieldMap::autoTile(int column, int row, bool withNeighbours)
{
    Field& field = fieldAt(column, row);
    field.needsAutoTile = false;
    if (withNeighbours)
    {
        autoTile(column - 1, row, false);
        autoTile(column + 1, row, false);
        autoTile(column, row - 1, false);
        autoTile(column, row + 1, false);
    }
    const int type = field.groundType;
    const auto matches = [&](int c, int r) {
        const Field& neighbour = at(c, r);
        return neighbour.groundType == type || neighbour.underType == type;
    };
    const sf::IntRect piece = autoTilePiece(matches(column, row - 1), matches(column, row + 1),
                                            matches(column + 1, row), matches(column - 1, row));
    if (piece != field.groundSprite.getTextureRect())
    {
        field.groundSprite.setTextureRect(piece);
        ++drawChanges;
    }
}

FieldMap::TileWindow FieldMap::tileWindow() const
{
    const sf::Vector2f& o = origin();
    const int firstColumnRaw = -(truncatePixel(o.x) / FieldSize);
    const int firstRowRaw = -(truncatePixel(o.y) / FieldSize);
    // Each bound is clamped on its own, from the values before clamping.
    const auto clampFirst = [](int v) {
        return (v < AutoTileMargin || v > MapSize - AutoTileMargin) ? AutoTileMargin : v;
    };
    const auto clampEnd = [](int v) {
        return (v < AutoTileMargin || v > MapSize - AutoTileMargin) ? MapSize - AutoTileMargin : v;
    };
    return {clampFirst(firstColumnRaw), clampFirst(firstRowRaw), clampEnd(firstColumnRaw + AutoTileWindowColumns),
            clampEnd(firstRowRaw + AutoTileWindowRows)};
}

void FieldMap::autoTilePass()
{
    const TileWindow window = tileWindow();
    for (int column = window.firstColumn; column < window.endColumn; ++column)
    {
        for (int row = window.firstRow; row < window.endRow; ++row)
        {
            if (at(column, row).needsAutoTile)
                autoTile(column, row, true);
        }
    }
}

void FieldMap::retileView()
{
    const TileWindow window = tileWindow();
    // The window and the ring round it; the window lies within 2..197, so the
    // ring stays within 1..198, where every field has four neighbours.
    for (int column = window.firstColumn - 1; column <= window.endColumn; ++column)
    {
        for (int row = window.firstRow - 1; row <= window.endRow; ++row)
        {
            const bool inWindow = column >= window.firstColumn && column < window.endColumn &&
                                  row >= window.firstRow && row < window.endRow;
            Field& field = fieldAt(column, row);
            const bool mark = field.needsAutoTile && !inWindow;
            autoTile(column, row, false);
            field.needsAutoTile = mark;
        }
    }
}

void FieldMap::appendGround(std::vector<Batch>& batches, const FieldSprite& layer)
{
    const sf::Texture* texture = layer.getTexture();
    if (!texture)
        return;
    auto batch = std::find_if(batches.begin(), batches.end(), [texture](const Batch& b) { return b.texture == texture; });
    if (batch == batches.end())
    {
        batches.push_back({texture, {}});
        batch = batches.end() - 1;
    }
    const sf::IntRect& piece = layer.getTextureRect();
    appendQuad(batch->vertices, layer.getPosition(), {float(piece.width), float(piece.height)}, piece);
}

void FieldMap::drawBatches(sf::RenderTarget& target, std::vector<Batch>& batches)
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

namespace
{
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

void FieldMap::appendObject(const sf::Texture* texture, const ObjectSprite& picture, sf::Vector2f position)
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

void FieldMap::drawObjects(sf::RenderTarget& target, float playerY, bool inFront)
{
    const sf::Vector2f& o = origin();
    int firstColumn, lastColumn, firstRow, lastRow;
    candidateRange(o.x, ObjectWindow.left, ObjectWindow.right, firstColumn, lastColumn);
    candidateRange(o.y, ObjectWindow.top, ObjectWindow.bottom, firstRow, lastRow);
    // Row by row, so objects of lower rows cover those above them.
    objectBatchesUsed = 0;
    for (int row = firstRow; row <= lastRow; ++row)
    {
        for (int column = firstColumn; column <= lastColumn; ++column)
        {
            const Field& field = at(column, row);
            const PlacedObject& object = field.object;
            const float objectY = object.position().y;
            const bool depthMatches = inFront ? objectY >= playerY : playerY > objectY;
            if (!depthMatches || !object.present())
                continue;
            const sf::Vector2f& p = field.groundSprite.getPosition();
            if (!ObjectWindow.contains(truncatePixel(p.x), truncatePixel(p.y)))
                continue;
            const ObjectSprite& picture = object.type()->sprite;
            const sf::Texture* texture = picture.getTexture();
            if (!texture)
                continue;
            appendObject(texture, picture, object.position());
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

void FieldMap::draw(sf::RenderTarget& target, const sf::Drawable& between, float betweenY)
{
    lastDrawCalls = 0;
    int firstColumn, lastColumn, firstRow, lastRow;
    const sf::Vector2f& o = origin();
    candidateRange(o.x, PlacementWindow.left, PlacementWindow.right, firstColumn, lastColumn);
    candidateRange(o.y, PlacementWindow.top, PlacementWindow.bottom, firstRow, lastRow);
    // Fields never overlap, so every under layer can go before every ground
    // layer, grouped by texture, with the same pixels as field by field.
    for (int column = firstColumn; column <= lastColumn; ++column)
    {
        for (int row = firstRow; row <= lastRow; ++row)
        {
            const Field& field = at(column, row);
            const sf::Vector2f& p = field.groundSprite.getPosition();
            if (!PlacementWindow.contains(truncatePixel(p.x), truncatePixel(p.y)))
                continue;
            appendGround(underBatches, field.underSprite);
            appendGround(groundBatches, field.groundSprite);
        }
    }
    drawBatches(target, underBatches);
    drawBatches(target, groundBatches);

    drawObjects(target, betweenY, false);
    target.draw(between);
    ++lastDrawCalls;
    drawObjects(target, betweenY, true);
}

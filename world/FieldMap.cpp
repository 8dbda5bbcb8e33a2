#include "world/FieldMap.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "world/AutoTile.h"
#include "world/ObjectBox.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
// The truncated scene coordinate of lattice index i (a column or a row) with
// the origin's coordinate at `origin`: what every rule of the map tests.
int latticePixel(float origin, int i)
{
    return truncatePixel(origin + static_cast<float>(FieldSize * i));
}

// The lowest index in [low, MapSize] for which `reached(i)` holds, MapSize
// when none does; `reached` must hold from some index on (the lattice's
// truncated positions never decrease). Computed from `estimate`, the index
// the untruncated position gives; truncation moves a position by less than
// a pixel, so the steps below go at most one field either way.
template <typename Reached>
int firstReached(int low, double estimate, const Reached& reached)
{
    int i = static_cast<int>(std::clamp(estimate, double(low), double(MapSize)));
    while (i > low && reached(i - 1))
        --i;
    while (i < MapSize && !reached(i))
        ++i;
    return i;
}

// The indices whose truncated position lies in [low, high] on one axis.
void axisRange(float origin, int low, int high, int& first, int& last)
{
    first = firstReached(0, std::ceil((double(low) - origin) / FieldSize),
                         [&](int i) { return latticePixel(origin, i) >= low; });
    last = firstReached(0, std::floor((double(high) - origin) / FieldSize) + 1,
                        [&](int i) { return latticePixel(origin, i) > high; }) -
           1;
}

// The first index from `from` whose field, at its truncated position f, has
// f <= p <= f + 16 on one axis; -1 when none has.
int axisHit(float origin, float p, int from)
{
    if (from >= MapSize)
        return -1;
    // The first field whose far edge reaches p; a later one that holds p
    // starts no further left, so if this one does not hold p none does.
    const int i = firstReached(from, std::ceil((double(p) - origin) / FieldSize) - 1, [&](int k) {
        return p <= static_cast<float>(latticePixel(origin, k) + FieldSize);
    });
    if (i >= MapSize || static_cast<float>(latticePixel(origin, i)) > p)
        return -1;
    return i;
}
} // namespace

FieldMap::FieldMap(const GameData& content, int viewWidth, int viewHeight)
    : store(content), storage(FieldCount), view(viewWidth, viewHeight)
{
    assert(viewWidth >= 1 && viewHeight >= 1);
}

void FieldMap::setViewSize(int width, int height)
{
    assert(width >= 1 && height >= 1);
    view = {width, height};
    corner = {0, 0};
    ++drawChanges;
}

void FieldMap::setViewArea(const sf::IntRect& area)
{
    assert(area.width >= 1 && area.height >= 1);
    if (area == sf::IntRect(corner.x, corner.y, view.x, view.y))
        return;
    view = {area.width, area.height};
    corner = {area.left, area.top};
    ++drawChanges;
}

sf::Vector2i FieldMap::cornerField() const
{
    // In 64 bits: a wild origin saturates near the int range's ends.
    const auto first = [](float origin, int cornerPixel) {
        return static_cast<int>(-((static_cast<long long>(truncatePixel(origin)) - cornerPixel) / FieldSize));
    };
    return {first(mapOrigin.x, corner.x), first(mapOrigin.y, corner.y)};
}

sf::IntRect FieldMap::solidRect(int column, int row) const
{
    return at(column, row).solid() ? solidRectAt(position(column, row)) : sf::IntRect();
}

const ObjectType* FieldMap::objectType(int column, int row) const
{
    const int id = at(column, row).objectId();
    return id != 0 ? store.object(id) : nullptr;
}

sf::IntRect FieldMap::objectBox(int column, int row) const
{
    const ObjectType* type = objectType(column, row);
    return type ? objectBoxAt(*type, position(column, row)) : sf::IntRect();
}

const std::string& FieldMap::message(int column, int row) const
{
    static const std::string none;
    const Field& field = at(column, row);
    const ObjectType* definition = field.objectAssigned() ? store.object(field.objectId()) : nullptr;
    return definition ? definition->message : none;
}

std::optional<sf::Vector2i> FieldMap::fieldUnder(sf::Vector2f point) const
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return std::nullopt;
    // A map origin right of or below the scene's corner puts column or row 0
    // first: the fields there are as much under the point as any other. The
    // two axes are tested apart, so the lowest column that holds x and the
    // lowest row that holds y are the first hit in column-then-row order.
    const sf::Vector2i first = cornerField();
    const int c0 = std::max(0, first.x);
    const int r0 = std::max(0, first.y);
    const int column = axisHit(mapOrigin.x, point.x, c0);
    const int row = column < 0 ? -1 : axisHit(mapOrigin.y, point.y, r0);
    if (row < 0)
        return std::nullopt;
    return sf::Vector2i(column, row);
}

FieldRange FieldMap::fieldsIn(const PixelWindow& window) const
{
    FieldRange range;
    axisRange(mapOrigin.x, window.left, window.right, range.firstColumn, range.lastColumn);
    axisRange(mapOrigin.y, window.top, window.bottom, range.firstRow, range.lastRow);
    return range;
}

bool FieldMap::paintGround(int column, int row, int type, bool underLayer)
{
    if (!store.fieldTexture(type))
        return false;
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    (underLayer ? field.under : field.ground) = static_cast<std::int16_t>(type);
    field.setFlag(Field::MarkFlag, true);
    if (field.values() != before)
        changed(column, row, before);
    return true;
}

void FieldMap::assignObject(Field& field, int id)
{
    field.setFlag(Field::AssignedFlag, true);
    if (field.object != id)
    {
        field.object = static_cast<std::int16_t>(id);
        ++drawChanges;
    }
}

bool FieldMap::setObject(int column, int row, int id)
{
    if (!store.object(id))
        return false;
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    assignObject(field, id);
    if (before.objectId != id)
        changed(column, row, before);
    return true;
}

void FieldMap::setSolid(int column, int row, bool solid)
{
    Field& field = fieldAt(column, row);
    if (field.solid() == solid)
        return;
    const FieldValues before = field.values();
    field.setFlag(Field::SolidFlag, solid);
    changed(column, row, before);
}

bool FieldMap::setValues(int column, int row, const FieldValues& values)
{
    // The default type is taken without a texture, as a new map has it.
    const auto loaded = [this](int type) { return type == DefaultGroundType || store.fieldTexture(type); };
    if (!loaded(values.groundType) || !loaded(values.underType) || !store.object(values.objectId))
        return false;
    Field& field = fieldAt(column, row);
    const FieldValues before = field.values();
    if (values.groundType != before.groundType || values.underType != before.underType)
    {
        field.ground = static_cast<std::int16_t>(values.groundType);
        field.under = static_cast<std::int16_t>(values.underType);
        field.setFlag(Field::MarkFlag, true);
    }
    assignObject(field, values.objectId);
    field.setFlag(Field::SolidFlag, values.solid);
    if (values != before)
        changed(column, row, before);
    return true;
}

void FieldMap::markAllForAutoTile()
{
    for (Field& field : storage)
        field.setFlag(Field::MarkFlag, true);
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

void FieldMap::scroll(float dx, float dy)
{
    if (dx == 0.f && dy == 0.f)
        return;
    mapOrigin.x += dx;
    mapOrigin.y += dy;
    ++drawChanges;
}

void FieldMap::setOrigin(float x, float y)
{
    mapOrigin = {x, y};
    ++drawChanges;
}

void FieldMap::autoTile(int column, int row, bool withNeighbours)
{
    // 1..198 alone, 2..197 with the neighbours, so every neighbour asked for is on the map.
    assert(column >= 1 + withNeighbours && column <= MapSize - 2 - withNeighbours &&
           row >= 1 + withNeighbours && row <= MapSize - 2 - withNeighbours);
    Field& field = fieldAt(column, row);
    field.setFlag(Field::MarkFlag, false);
    if (withNeighbours)
    {
        autoTile(column - 1, row, false);
        autoTile(column + 1, row, false);
        autoTile(column, row - 1, false);
        autoTile(column, row + 1, false);
    }
    const int key = autoTileKeyAt(column, row, [this](int c, int r) {
        const Field& f = at(c, r);
        return GroundLayers{f.groundType(), f.underType()};
    });
    if (key != field.piece)
    {
        field.piece = static_cast<std::uint8_t>(key);
        ++drawChanges;
    }
}

FieldMap::TileWindow FieldMap::tileWindow() const
{
    const sf::Vector2i first = cornerField();
    const int firstColumnRaw = first.x;
    const int firstRowRaw = first.y;
    const int columns = (view.x + FieldSize - 1) / FieldSize + AutoTileWindowExtra;
    const int rows = (view.y + FieldSize - 1) / FieldSize + AutoTileWindowExtra;
    // Each bound is clamped on its own, from the values before clamping.
    const auto clampFirst = [](int v) {
        return (v < AutoTileMargin || v > MapSize - AutoTileMargin) ? AutoTileMargin : v;
    };
    const auto clampEnd = [](long long v) {
        return (v < AutoTileMargin || v > MapSize - AutoTileMargin) ? MapSize - AutoTileMargin : int(v);
    };
    return {clampFirst(firstColumnRaw), clampFirst(firstRowRaw), clampEnd((long long)firstColumnRaw + columns),
            clampEnd((long long)firstRowRaw + rows)};
}

void FieldMap::autoTilePass()
{
    const TileWindow window = tileWindow();
    for (int column = window.firstColumn; column < window.endColumn; ++column)
    {
        for (int row = window.firstRow; row < window.endRow; ++row)
        {
            if (at(column, row).needsAutoTile())
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
            const bool mark = field.needsAutoTile() && !inWindow;
            autoTile(column, row, false);
            field.setFlag(Field::MarkFlag, mark);
        }
    }
}


#include "player/Player.h"

#include "content/GameData.h"
#include "platform/Input.h"
#include "world/FieldMap.h"
#include "world/ObjectBox.h"

#include <algorithm>
#include <utility>

namespace
{
// Row of the sheet for each facing (up, down, right, left): the sheet runs
// down, up, right, left.
constexpr int FrameRow[4] = {1, 0, 2, 3};
// The frames for standing on the home ground follow the first four.
constexpr int HomeGroundRowOffset = 4;

// The strict overlap of two rectangles: touching edges do not overlap, and a
// rectangle without width or height (or with a negative one) overlaps nothing.
bool overlaps(const sf::IntRect& a, const sf::IntRect& b)
{
    const long long left = std::max<long long>(a.left, b.left);
    const long long right = std::min((long long)a.left + a.width, (long long)b.left + b.width);
    const long long top = std::max<long long>(a.top, b.top);
    const long long bottom = std::min((long long)a.top + a.height, (long long)b.top + b.height);
    return left < right && top < bottom;
}

// Pixels by which `inner` reaches beyond `outer` on each side: left, top,
// right, bottom.
struct Overhang
{
    long long left, top, right, bottom;
};

Overhang overhang(const sf::IntRect& inner, const sf::IntRect& outer)
{
    return {std::max(0LL, (long long)outer.left - inner.left), std::max(0LL, (long long)outer.top - inner.top),
            std::max(0LL, ((long long)inner.left + inner.width) - ((long long)outer.left + outer.width)),
            std::max(0LL, ((long long)inner.top + inner.height) - ((long long)outer.top + outer.height))};
}
} // namespace

Player::Player(sf::Vector2u windowSize, const GameData& content, float sceneScaleX, float sceneScaleY,
               const KeyBindings& keys)
    : keys(keys)
{
    if (content.playerTexture)
        picture.setTexture(*content.playerTexture);
    picture.setTextureRect({0, 0, PlayerFrameSize, PlayerFrameSize});
    picture.setPosition(static_cast<float>(windowSize.x) / sceneScaleX * 0.5f,
                        static_cast<float>(windowSize.y) / sceneScaleY * 0.5f);
    picture.setOrigin(8.f, 16.f);
    const sf::Vector2f topLeft = picture.getPosition() - picture.getOrigin();
    feet = sf::IntRect(truncatePixel(topLeft.x), truncatePixel(topLeft.y + PlayerFeetTop), PlayerFeetWidth,
                       PlayerFeetHeight);
}

sf::Vector2i Player::walkStep(const InputState& input)
{
    int dx = 0;
    int dy = 0;
    if (keys.held(input, KeyAction::WalkUp))
    {
        dy = truncatePixel(0 + pixelsPerFrame);
        looking = Facing::Up;
    }
    if (keys.held(input, KeyAction::WalkDown))
    {
        dy = truncatePixel(static_cast<float>(dy) - pixelsPerFrame);
        looking = Facing::Down;
    }
    if (keys.held(input, KeyAction::WalkLeft))
    {
        dx = truncatePixel(0 + pixelsPerFrame);
        looking = Facing::Left;
    }
    if (keys.held(input, KeyAction::WalkRight))
    {
        dx = truncatePixel(static_cast<float>(dx) - pixelsPerFrame);
        looking = Facing::Right;
    }
    return {dx, dy};
}

const std::string* Player::update(const FieldMap& map, const InputState& input)
{
    const sf::Vector2f& mapOrigin = map.origin();
    const sf::Vector2f& position = picture.getPosition();
    const float referenceY = position.y + picture.getOrigin().y - 6.f;
    // Integer division truncates toward zero, as the standing field is defined.
    const int dx = truncatePixel(static_cast<float>(truncatePixel(mapOrigin.x)) - position.x);
    const int dy = truncatePixel(static_cast<float>(truncatePixel(mapOrigin.y)) - referenceY);
    fieldColumn = -(dx / FieldSize);
    fieldRow = -(dy / FieldSize);
    // Off the map there is no ground to stand on: the last ground counts.
    if (FieldMap::onMap(fieldColumn, fieldRow))
        groundBelow = map.at(fieldColumn, fieldRow).groundType();

    facedColumn = fieldColumn;
    facedRow = fieldRow;
    switch (looking)
    {
    case Facing::Up: facedRow = fieldRow - 1; break;
    case Facing::Right: facedColumn = fieldColumn + 1; break;
    case Facing::Left: facedColumn = fieldColumn - 1; break;
    case Facing::Down: break; // facing down faces the standing field itself
    }
    const int row = FrameRow[static_cast<int>(looking)] + (groundBelow == PlayerHomeGroundType ? HomeGroundRowOffset : 0);
    picture.setTextureRect({0, row * PlayerFrameSize, PlayerFrameSize, PlayerFrameSize});

    if (keys.held(input, KeyAction::Read) && FieldMap::onMap(facedColumn, facedRow))
        return &map.message(facedColumn, facedRow);
    return nullptr;
}

bool Player::collides(const FieldMap& map) const
{
    return collidesAt(map, map.origin());
}

bool Player::collidesAt(const FieldMap& map, sf::Vector2f mapOrigin) const
{
    const int c0 = -(truncatePixel(mapOrigin.x) / FieldSize);
    const int r0 = -(truncatePixel(mapOrigin.y) / FieldSize);
    const int firstColumn = std::max(c0, 0);
    const int endColumn = std::min(c0 + CollisionSearchColumns, MapSize);
    const int firstRow = std::max(r0, 0);
    const int endRow = std::min(r0 + CollisionSearchRows, MapSize);
    for (int column = firstColumn; column < endColumn; ++column)
    {
        for (int row = firstRow; row < endRow; ++row)
        {
            const Field& field = map.at(column, row);
            const sf::Vector2f position = FieldMap::positionAt(mapOrigin, column, row);
            if (field.solid() && overlaps(FieldMap::solidRectAt(position), feet))
                return true;
            const ObjectType* object = map.objectType(column, row);
            if (object && overlaps(objectBoxAt(*object, position), feet))
                return true;
        }
    }
    return false;
}

bool Player::stepLeavesMap(const FieldMap& map, float dx, float dy) const
{
    const sf::Vector2f& mapOrigin = map.origin();
    const auto mapRect = [](float x, float y) {
        return sf::IntRect(truncatePixel(x), truncatePixel(y), MapPixels, MapPixels);
    };
    const sf::IntRect before = mapRect(mapOrigin.x, mapOrigin.y);
    const sf::IntRect after = mapRect(mapOrigin.x + dx, mapOrigin.y + dy);
    // Side by side: a diagonal step that comes back on one side but goes out
    // on another still leaves the map.
    const Overhang was = overhang(feet, before);
    const Overhang will = overhang(feet, after);
    return will.left > was.left || will.top > was.top || will.right > was.right || will.bottom > was.bottom;
}

sf::Vector2f Player::originStandingOn(int column, int row) const
{
    return {static_cast<float>(feet.left - FieldSize * column),
            static_cast<float>(feet.top + feet.height - FieldSize - FieldSize * row)};
}

std::optional<sf::Vector2i> Player::nearestFreeField(const FieldMap& map, sf::Vector2i field) const
{
    std::optional<sf::Vector2i> best;
    long long bestDistance = 0;
    // Rings of growing distance around the field; a ring k fields out holds
    // nothing nearer than k, so the search ends once k passes the best.
    for (int k = 0; k < 2 * MapSize; ++k)
    {
        if (best && static_cast<long long>(k) * k > bestDistance)
            break;
        for (int row = field.y - k; row <= field.y + k; ++row)
        {
            const bool edgeRow = row == field.y - k || row == field.y + k;
            for (int column = field.x - k; column <= field.x + k; column += edgeRow ? 1 : 2 * k)
            {
                if (!FieldMap::onMap(column, row))
                    continue;
                const long long dx = column - field.x, dy = row - field.y;
                const long long distance = dx * dx + dy * dy;
                const bool nearer = !best || distance < bestDistance ||
                                    (distance == bestDistance && std::make_pair(row, column) < std::make_pair(best->y, best->x));
                if (nearer && !collidesAt(map, originStandingOn(column, row)))
                {
                    best = sf::Vector2i(column, row);
                    bestDistance = distance;
                }
                if (k == 0)
                    break;
            }
        }
    }
    return best;
}

#include "player/Player.h"

#include "content/GameData.h"
#include "hud/UI.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <algorithm>

namespace
{
// Frame of each facing (up, down, right, left): its row in the sheet.
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

Player::Player(sf::Vector2u windowSize, const GameData* content, float sceneScaleX, float sceneScaleY)
    : content(content)
{
    if (content && content->playerTexture)
        sprite.setTexture(*content->playerTexture);
    sprite.setTextureRect({0, 0, PlayerFrameSize, PlayerFrameSize});
    sprite.setPosition(static_cast<float>(windowSize.x) / sceneScaleX * 0.5f,
                       static_cast<float>(windowSize.y) / sceneScaleY * 0.5f);
    sprite.setOrigin(8.f, 16.f);
    const sf::Vector2f& position = sprite.getPosition();
    const sf::Vector2f& origin = sprite.getOrigin();
    collisionRect = sf::IntRect(truncatePixel(position.x - origin.x), truncatePixel(position.y + 16.f + 8.f - origin.y), 16, 8);
}

void Player::update(FieldMap* map, UI* ui, const InputState& input)
{
    const sf::Vector2f& mapOrigin = map->origin();
    const sf::Vector2f& position = sprite.getPosition();
    const float referenceY = position.y + sprite.getOrigin().y - 6.f;
    // Integer division truncates toward zero, as the standing field is defined.
    const int dx = truncatePixel(static_cast<float>(truncatePixel(mapOrigin.x)) - position.x);
    const int dy = truncatePixel(static_cast<float>(truncatePixel(mapOrigin.y)) - referenceY);
    fieldColumn = -(dx / FieldSize);
    fieldRow = -(dy / FieldSize);
    // Off the map there is no ground to stand on: the last ground counts.
    if (FieldMap::onMap(fieldColumn, fieldRow))
        standingGround = map->at(fieldColumn, fieldRow).groundType;

    facedColumn = fieldColumn;
    facedRow = fieldRow;
    switch (facing)
    {
    case FacingUp: facedRow = fieldRow - 1; break;
    case FacingRight: facedColumn = fieldColumn + 1; break;
    case FacingLeft: facedColumn = fieldColumn - 1; break;
    default: break; // facing down faces the standing field itself
    }
    if (facing >= 0 && facing < 4)
    {
        const int row = FrameRow[facing] + (standingGround == PlayerHomeGroundType ? HomeGroundRowOffset : 0);
        sprite.setTextureRect({0, row * PlayerFrameSize, PlayerFrameSize, PlayerFrameSize});
    }

    if (input.isKeyPressed(sf::Keyboard::Space) && ui && FieldMap::onMap(facedColumn, facedRow))
        ui->showMessage(map->at(facedColumn, facedRow).object->message);
}

bool Player::collides(const FieldMap* map) const
{
    const sf::Vector2f& mapOrigin = map->origin();
    const int c0 = -(truncatePixel(mapOrigin.x) / FieldSize);
    const int r0 = -(truncatePixel(mapOrigin.y) / FieldSize);
    const int firstColumn = std::max(c0, 0);
    const int endColumn = std::min(c0 + 20, MapSize);
    const int firstRow = std::max(r0, 0);
    const int endRow = std::min(r0 + 12, MapSize);
    for (int column = firstColumn; column < endColumn; ++column)
    {
        for (int row = firstRow; row < endRow; ++row)
        {
            const Field& field = map->at(column, row);
            if (overlaps(field.collisionRect, collisionRect))
                return true;
            if (field.object->present && overlaps(field.object->collisionRect, collisionRect))
                return true;
        }
    }
    return false;
}

bool Player::stepLeavesMap(const FieldMap* map, float dx, float dy) const
{
    const sf::Vector2f& mapOrigin = map->origin();
    const auto mapRect = [](float x, float y) { return sf::IntRect(truncatePixel(x), truncatePixel(y), MapPixels, MapPixels); };
    const sf::IntRect before = mapRect(mapOrigin.x, mapOrigin.y);
    const sf::IntRect after = mapRect(mapOrigin.x + dx, mapOrigin.y + dy);
    // Side by side: a diagonal step that comes back on one side but goes out
    // on another still leaves the map.
    const Overhang was = overhang(collisionRect, before);
    const Overhang will = overhang(collisionRect, after);
    return will.left > was.left || will.top > was.top || will.right > was.right || will.bottom > was.bottom;
}

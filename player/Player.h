#pragma once

#include "platform/FrameKey.h"
#include "platform/KeyBindings.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>
#include <string>

class FieldMap;
class GameData;

// Where the player looks, as the walking keys set it. The values are the
// rows of the frame table below.
enum class Facing
{
    Up = 0,
    Down = 1,
    Right = 2,
    Left = 3,
};

constexpr int PlayerFrameSize = 32;     // scene pixels per side of one frame of the player sheet
constexpr int PlayerHomeGroundType = 5; // standing on this ground shows the second set of frames

// The feet, the box that collides: the bottom 8 rows of the left 16 columns of
// the frame, scene pixels from the frame's top-left corner.
constexpr int PlayerFeetTop = 24;
constexpr int PlayerFeetWidth = 16;
constexpr int PlayerFeetHeight = 8;
// The fields the collision test looks at: the size of the scene in fields,
// from the field covering the scene's top-left corner.
constexpr int CollisionSearchColumns = 20;
constexpr int CollisionSearchRows = 12;

// The character the user walks. It stays at the centre of the scene; walking
// scrolls the map the other way.
class Player
{
public:
    // Stands at the centre of the scene: the window size divided by the scene
    // scale, halved. `windowSize` in window pixels, the scales in window pixels
    // per scene pixel. `keys` says which keys walk and read.
    Player(sf::Vector2u windowSize, const GameData& content, float sceneScaleX, float sceneScaleY,
           const KeyBindings& keys = KeyBindings::defaults());

    // This frame's walking step from the walking actions (W, S, A and D, the
    // arrows, a gamepad's stick and cross by default), up, down, left, right
    // tested in that
    // order (a later key's facing wins, W with S or A with D cancel), each
    // axis truncated toward zero from speed. The map moves by the step, so
    // walking up gives (0, +1). Without a walking key the facing stays.
    sf::Vector2i walkStep(const InputState& input);

    // Finds the standing and the faced field from the map origin and picks
    // the frame. While Space is held, returns the message of the object on
    // the faced field (empty for a field without one) for the HUD to show;
    // otherwise, or facing off the map, null. Columns or rows off the map
    // look nothing up.
    const std::string* update(const FieldMap& map, const InputState& input);

    // Whether the feet overlap a solid field or a present object of the
    // CollisionSearchColumns x CollisionSearchRows fields that start at the
    // field covering the scene's top-left corner.
    bool collides(const FieldMap& map) const;

    // The map origin that puts the feet on field (c, r): their left edge on
    // the field's, their bottom on the field's bottom; the player then stands
    // on that field.
    sf::Vector2f originStandingOn(int column, int row) const;
    // Whether the feet would collide with the map at `origin`, as collides()
    // tests them once the map stands there.
    bool collidesAt(const FieldMap& map, sf::Vector2f origin) const;
    // Of the fields on which the player can stand without colliding
    // (collidesAt originStandingOn), the one nearest to `field` in a straight
    // line, the lower row and then the lower column first when several are
    // as near; `field` itself when it is free. Empty when no field is.
    std::optional<sf::Vector2i> nearestFreeField(const FieldMap& map, sf::Vector2i field) const;

    // Whether moving the map by (dx, dy) takes the feet further out of the
    // map's 3200 x 3200 pixels, on any of its four sides, than they are now.
    // Feet that are outside may step back toward the map or along it.
    bool stepLeavesMap(const FieldMap& map, float dx, float dy) const;

    const sf::Sprite& sprite() const { return picture; } // position fixed at the scene centre
    // Adds what drawing sprite() shows to `key`.
    void describe(FrameKey& key) const { key.add(picture); }
    const sf::IntRect& collisionRect() const { return feet; } // scene pixels: (152, 104, 16, 8) in a 320 x 192 scene
    Facing facing() const { return looking; }
    int standingGround() const { return groundBelow; }
    sf::Vector2i standingField() const { return {fieldColumn, fieldRow}; }
    sf::Vector2i facedField() const { return {facedColumn, facedRow}; }
    float speed() const { return pixelsPerFrame; }

private:
    KeyBindings keys;
    sf::Sprite picture;
    sf::IntRect feet;
    Facing looking = Facing::Down;
    int groundBelow = 1;
    int fieldColumn = 0;
    int fieldRow = 0;
    int facedColumn = 0;
    int facedRow = 0;
    float pixelsPerFrame = 1.0f; // scene pixels per frame
};

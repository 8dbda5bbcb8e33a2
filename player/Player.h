#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

class FieldMap;
class GameData;
class UI;
struct InputState;

// Facing values, as the walking keys set them.
constexpr int FacingUp = 0;
constexpr int FacingDown = 1;
constexpr int FacingRight = 2;
constexpr int FacingLeft = 3;

constexpr int PlayerFrameSize = 32;       // pixels per side of one frame of the player sheet
constexpr int PlayerHomeGroundType = 5;   // standing on this ground shows the second set of frames

// The character the user walks. It stays at the centre of the scene; walking
// scrolls the map the other way.
class Player
{
public:
    // Stands at the centre of the scene: the window size divided by the scene
    // scale, halved. `windowSize` in window pixels, the scales in window pixels
    // per scene pixel.
    Player(sf::Vector2u windowSize, const GameData* content, float sceneScaleX, float sceneScaleY);

    // Finds the standing and the faced field from the map origin, picks the
    // frame, and while Space is held shows the faced field's object message.
    // Columns or rows off the map look nothing up.
    void update(FieldMap* map, UI* ui, const InputState& input);

    // Whether the feet overlap a solid field or a present object of the 20 x 12
    // fields that start at the field covering the scene's top-left corner.
    bool collides(const FieldMap* map) const;

    // Whether moving the map by (dx, dy) takes the feet further out of the
    // map's 3200 x 3200 pixels, on any of its four sides, than they are now.
    // Feet that are outside may step back toward the map or along it.
    bool stepLeavesMap(const FieldMap* map, float dx, float dy) const;

    const GameData* content;
    sf::Sprite sprite;         // position fixed at the scene centre
    sf::IntRect collisionRect; // the feet, scene pixels: (152, 104, 16, 8) in a 320 x 192 scene
    int facing = FacingDown;
    int standingGround = 1;
    int fieldColumn = 0;
    int fieldRow = 0;
    int facedColumn = 0;
    int facedRow = 0;
    float speed = 1.0f; // scene pixels per frame
};

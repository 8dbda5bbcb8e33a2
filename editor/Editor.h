#pragma once

#include "platform/TimeSource.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <memory>

class FieldMap;
class GameData;
struct InputState;

// What the left button does in the editor.
enum EditorMode
{
    PaintGround = 0, // paints the selected ground type with the brush
    PlaceObject = 1, // puts the selected object on the field (LShift: removes it)
    MarkSolid = 2,   // marks the field solid (LShift: clears it)
};

constexpr int EditorKeyDelayMs = 200; // a timed key acts only when its clock reads more than this
constexpr int MinBrushSize = 1;
constexpr int MaxBrushSize = 4;
constexpr int GroundChoices = 6; // ground types 0..5 on Num1..Num6
constexpr int ObjectChoices = 3; // objects 0..2

// The map editor, inside the running game. E switches it on and off; while on,
// a cursor follows the field under the mouse and the left button paints,
// places objects or marks fields solid.
class Editor
{
public:
    // `content` and `time` must outlive the editor.
    explicit Editor(const GameData* content, const TimeSource& time = TimeSource::system());

    // One frame: the E toggle, then (only while active) the keys, the hit test
    // and the action on the field under the mouse. The mouse position is in
    // window pixels; the scales are window pixels per scene pixel.
    void update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY);

    const GameData* content;
    int brushSize = 1;
    int selectedGround = 0;
    int selectedObject = 0;
    Stopwatch stepClock;   // since the last step of selectedObject or brushSize
    Stopwatch toggleClock; // since the last toggle of active
    int mode = PaintGround;
    bool active = false;
    bool underLayer = false;
    std::unique_ptr<sf::Sprite> cursor; // 16 x 16, scene pixels
};

#include "editor/Editor.h"

#include "content/GameData.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <algorithm>
#include <cmath>

namespace
{
bool timedKeyReady(const Stopwatch& clock)
{
    return clock.getElapsedTime().asMilliseconds() > EditorKeyDelayMs;
}

// The lattice indices i whose field, at origin + 16 i truncated, can hold the
// coordinate p: the search tests only these, exactly. A truncated position
// lies within one pixel of origin + 16 i and a field is 16 wide with both
// edges inside, so every possible hit lies within [t - 1, t + 1] for
// t = floor((p - origin) / 16); one more on each side is slack for rounding.
void candidates(float origin, float p, int first, int& low, int& high)
{
    const double t = std::floor((double(p) - double(origin)) / FieldSize);
    low = std::max(first, static_cast<int>(std::clamp(t - 2.0, -1.0, double(MapSize))));
    high = std::min(MapSize - 1, static_cast<int>(std::clamp(t + 2.0, -1.0, double(MapSize))));
}
} // namespace

Editor::Editor(const GameData* content, const TimeSource& time) : stepClock(time), toggleClock(time)
{
    if (content && content->editorTexture)
        cursorSprite.setTexture(*content->editorTexture, false);
    cursorSprite.setTextureRect(sf::IntRect(0, 0, CursorSize, CursorSize));
}

void Editor::update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY)
{
    if (input.isKeyPressed(sf::Keyboard::E) && timedKeyReady(toggleClock))
    {
        state.active = !state.active;
        toggleClock.restart();
    }
    // The frame that switched the editor on already reads its keys and mouse.
    if (!state.active)
        return;

    readKeys(input);
    if (!map)
        return;

    const sf::Vector2f& origin = map->origin();
    const int x0 = truncatePixel(origin.x);
    const int y0 = truncatePixel(origin.y);
    const float px = static_cast<float>(input.mousePosition.x) / sceneScaleX;
    const float py = static_cast<float>(input.mousePosition.y) / sceneScaleY;

    int column = 0;
    int row = 0;
    if (!findField(*map, x0, y0, px, py, column, row))
        return;

    cursorSprite.setPosition(static_cast<float>(x0 + FieldSize * column), static_cast<float>(y0 + FieldSize * row));
    if (input.leftButton)
        act(input, *map, column, row);
}

void Editor::readKeys(const InputState& input)
{
    // Later keys overwrite earlier ones, so the last held key of a kind wins.
    if (input.isKeyPressed(sf::Keyboard::U))
        state.underLayer = true;
    if (input.isKeyPressed(sf::Keyboard::Z))
        state.underLayer = false;
    if (input.isKeyPressed(sf::Keyboard::P))
        state.mode = EditorMode::PlaceObject;
    if (input.isKeyPressed(sf::Keyboard::O))
        state.mode = EditorMode::PaintGround;
    if (input.isKeyPressed(sf::Keyboard::I))
        state.mode = EditorMode::MarkSolid;

    // The four step keys share one clock: a step by any of them holds all of
    // them back, so at most one steps per frame. A key at its limit changes
    // nothing and leaves the clock running.
    bool ready = timedKeyReady(stepClock);
    const auto step = [&](bool held, bool allowed, int& value, int delta) {
        if (ready && held && allowed)
        {
            value += delta;
            stepClock.restart();
            ready = false;
        }
    };
    int& object = state.selectedObject;
    int& brush = state.brushSize;
    step(input.isKeyPressed(sf::Keyboard::K), object < ObjectChoices - 1, object, +1);
    step(input.isKeyPressed(sf::Keyboard::L), object > 0, object, -1);
    step(input.isKeyPressed(sf::Keyboard::Subtract) || input.isKeyPressed(sf::Keyboard::Hyphen),
         brush > MinBrushSize, brush, -1);
    step(input.isKeyPressed(sf::Keyboard::Add) || input.isKeyPressed(sf::Keyboard::Equal), brush < MaxBrushSize,
         brush, +1);

    for (int ground = 0; ground < GroundChoices; ++ground)
    {
        if (input.isKeyPressed(static_cast<sf::Keyboard::Key>(sf::Keyboard::Num1 + ground)))
            state.selectedGround = ground;
    }
}

bool Editor::findField(const FieldMap& map, int x0, int y0, float px, float py, int& column, int& row)
{
    const int c0 = -(x0 / FieldSize);
    const int r0 = -(y0 / FieldSize);
    // A map origin 16 or more pixels right of or below the scene's corner
    // gives no first candidate: the search does not start at all.
    if (c0 < 0 || r0 < 0 || c0 >= MapSize)
        return false;
    if (!std::isfinite(px) || !std::isfinite(py))
        return false;

    // Instead of walking columns c0..199 and rows r0..199, walk only the few
    // that can hold the point, in the same order and with the same exact
    // test, so the first hit (lower column, then lower row, on shared edges)
    // is the same.
    const sf::Vector2f& origin = map.origin();
    int firstColumn, lastColumn, firstRow, lastRow;
    candidates(origin.x, px, c0, firstColumn, lastColumn);
    candidates(origin.y, py, r0, firstRow, lastRow);
    for (int c = firstColumn; c <= lastColumn; ++c)
    {
        for (int r = firstRow; r <= lastRow; ++r)
        {
            const sf::Vector2f& position = map.at(c, r).groundSprite.getPosition();
            const int fx = truncatePixel(position.x);
            const int fy = truncatePixel(position.y);
            if (static_cast<float>(fx) <= px && px <= static_cast<float>(fx + FieldSize) &&
                static_cast<float>(fy) <= py && py <= static_cast<float>(fy + FieldSize))
            {
                column = c;
                row = r;
                return true;
            }
        }
    }
    return false;
}

void Editor::act(const InputState& input, FieldMap& map, int column, int row)
{
    const bool shift = input.isKeyPressed(sf::Keyboard::LShift);
    switch (state.mode)
    {
    case EditorMode::PaintGround:
    {
        if (state.brushSize < MinBrushSize || state.brushSize > MaxBrushSize)
            return;
        const int count = BrushFieldCounts[static_cast<std::size_t>(state.brushSize - 1)];
        for (int i = 0; i < count; ++i)
        {
            // Column and row are tested apart: a row past the top or bottom
            // must not spill into the neighbouring column.
            const BrushOffset& offset = BrushOffsets[static_cast<std::size_t>(i)];
            const int c = column + offset.dx;
            const int r = row + offset.dy;
            if (FieldMap::onMap(c, r))
                map.paintGround(c, r, state.selectedGround, state.underLayer);
        }
        break;
    }
    case EditorMode::PlaceObject:
        // Object 0 stands for no object; LShift removes. A definition that
        // was not loaded leaves the field as it is.
        map.setObject(column, row, shift ? 0 : state.selectedObject);
        break;
    case EditorMode::MarkSolid:
        map.setSolid(column, row, !shift);
        break;
    }
}

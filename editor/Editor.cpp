#include "editor/Editor.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

// "40000" -> "40,000".
std::string withThousands(std::size_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t i = digits.size(); i > 3; i -= 3)
        digits.insert(i - 3, ",");
    return digits;
}

const char* kindName(EditKind kind)
{
    switch (kind)
    {
    case EditKind::Painting: return "painting";
    case EditKind::Objects: return "objects";
    case EditKind::Solid: return "solid fields";
    case EditKind::Fill: return "fill";
    case EditKind::Rectangle: return "rectangle";
    case EditKind::Loading: return "map load";
    }
    return "edit";
}

// "Undone: painting, 12 fields"; a load that only moved the map has no count.
std::string describe(const char* done, const EditSummary& edit)
{
    std::string text = std::string(done) + ": " + kindName(edit.kind);
    if (edit.fields > 0)
        text += ", " + withThousands(edit.fields) + (edit.fields == 1 ? " field" : " fields");
    return text;
}

EditKind strokeKind(EditorMode mode)
{
    switch (mode)
    {
    case EditorMode::PaintGround: return EditKind::Painting;
    case EditorMode::PlaceObject: return EditKind::Objects;
    case EditorMode::MarkSolid: return EditKind::Solid;
    }
    return EditKind::Painting;
}

// Fields per step of an object's footprint along one axis, from its picture's
// size in pixels: at least 1, at most the map.
int footprintFields(int pixels)
{
    return static_cast<int>(std::clamp<long long>(std::llabs(pixels) / FieldSize, 1, MapSize));
}
} // namespace

Editor::Editor(const GameData* content, const TimeSource& time, const KeyBindings& keys)
    : stepClock(time), toggleClock(time), content(content), keys(keys), fillSeen(FieldCount, 0)
{
    fillStack.reserve(FieldCount);
    if (content && content->editorTexture)
        cursorSprite.setTexture(*content->editorTexture, false);
    cursorSprite.setTextureRect(sf::IntRect(0, 0, CursorSize, CursorSize));
}

const std::string* Editor::update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY)
{
    const Presses presses = pressesOf(input);
    previous = input;

    if (keys.held(input, KeyAction::Editor) && timedKeyReady(toggleClock))
    {
        state.active = !state.active;
        toggleClock.restart();
    }
    // A stroke lasts from the left button's press to its release, in the editor.
    if (edits.isOpen() && (!state.active || !input.leftButton))
        edits.end();
    if (!input.leftButton)
        leftBlocked = false;
    // The frame that switched the editor on already reads its keys and mouse.
    if (!state.active)
    {
        dragging = false;
        hovered.reset();
        return nullptr;
    }

    readKeys(input);
    turnWheel(input.wheelNotches);
    hovered.reset();
    if (!map)
        return nullptr;

    const std::string* shown = nullptr;
    if (presses.undo || presses.redo)
        shown = undoOrRedo(input, *map, presses.redo);

    const sf::Vector2f& origin = map->origin();
    const int x0 = truncatePixel(origin.x);
    const int y0 = truncatePixel(origin.y);
    const float px = static_cast<float>(input.mousePosition.x) / sceneScaleX;
    const float py = static_cast<float>(input.mousePosition.y) / sceneScaleY;

    int column = 0;
    int row = 0;
    const bool hit = findField(*map, x0, y0, px, py, column, row);
    if (hit)
    {
        hovered = sf::Vector2i(column, row);
        cursorSprite.setPosition(static_cast<float>(x0 + FieldSize * column), static_cast<float>(y0 + FieldSize * row));
        if (presses.pick)
            pick(*map, column, row);
        if (presses.fill)
            fill(input, *map, column, row);
    }
    dragOrigin = {x0, y0};
    dragRectangle(input, presses, *map, hit, column, row);
    if (hit && input.leftButton && !leftBlocked && !dragging)
    {
        if (!edits.isOpen())
            edits.begin(*map, strokeKind(state.mode));
        act(input, *map, column, row);
    }
    return shown;
}

Editor::Presses Editor::pressesOf(const InputState& input) const
{
    const auto went = [&](KeyAction action) { return keys.held(input, action) && !keys.held(previous, action); };
    const bool ctrl = ctrlHeld(input);
    const bool shift = shiftHeld(input);
    Presses presses;
    presses.undo = ctrl && !shift && went(KeyAction::Undo);
    presses.redo = ctrl && (went(KeyAction::Redo) || (shift && went(KeyAction::Undo)));
    presses.fill = went(KeyAction::Fill);
    presses.pick = went(KeyAction::Pick) || (input.middleButton && !previous.middleButton);
    presses.left = input.leftButton && !previous.leftButton;
    presses.right = input.rightButton && !previous.rightButton;
    return presses;
}

const std::string* Editor::undoOrRedo(const InputState& input, FieldMap& map, bool redo)
{
    // The stroke so far is an edit of its own; the buttons start afresh.
    edits.end();
    dragging = false;
    leftBlocked = input.leftButton;
    const std::optional<EditSummary> done = redo ? edits.redo(map) : edits.undo(map);
    if (done)
        message = describe(redo ? "Redone" : "Undone", *done);
    else
        message = redo ? "Nothing to redo" : "Nothing to undo";
    return &message;
}

void Editor::pick(const FieldMap& map, int column, int row)
{
    const Field& field = map.at(column, row);
    switch (state.mode)
    {
    case EditorMode::PaintGround:
        state.selectedGround = state.underLayer ? field.underType : field.groundType;
        break;
    case EditorMode::PlaceObject:
        state.selectedObject = field.object.id();
        break;
    case EditorMode::MarkSolid:
        break;
    }
}

void Editor::fill(const InputState& input, FieldMap& map, int column, int row)
{
    const bool paint = state.mode == EditorMode::PaintGround;
    if (!paint && state.mode != EditorMode::MarkSolid)
        return;
    const bool under = state.underLayer;
    const auto typeOf = [under](const Field& field) { return under ? field.underType : field.groundType; };
    const int regionType = typeOf(map.at(column, row));
    if (paint && regionType == state.selectedGround)
        return; // would change nothing
    const bool solid = !keys.held(input, KeyAction::Erase);

    edits.begin(map, EditKind::Fill);
    // Depth first over the four neighbours, each field taken once.
    std::fill(fillSeen.begin(), fillSeen.end(), 0);
    fillStack.clear();
    const auto visit = [&](int c, int r) {
        const std::size_t index = static_cast<std::size_t>(FieldMap::index(c, r));
        if (FieldMap::onMap(c, r) && !fillSeen[index] && typeOf(map.at(c, r)) == regionType)
        {
            fillSeen[index] = 1;
            fillStack.push_back(static_cast<int>(index));
        }
    };
    visit(column, row);
    while (!fillStack.empty())
    {
        const int index = fillStack.back();
        fillStack.pop_back();
        const int c = index / MapSize;
        const int r = index % MapSize;
        // Neighbours are tested before the field changes, against the types
        // the region had; a painted field is marked seen, so it is not met again.
        visit(c - 1, r);
        visit(c + 1, r);
        visit(c, r - 1);
        visit(c, r + 1);
        if (paint)
            map.paintGround(c, r, state.selectedGround, under);
        else
            map.setSolid(c, r, solid);
    }
    edits.end();
}

FieldRect Editor::dragFields() const
{
    return {std::min(dragStart.x, dragEnd.x), std::min(dragStart.y, dragEnd.y), std::max(dragStart.x, dragEnd.x),
            std::max(dragStart.y, dragEnd.y)};
}

std::optional<sf::IntRect> Editor::rectangleOutline() const
{
    if (!dragging)
        return std::nullopt;
    const FieldRect fields = dragFields();
    return sf::IntRect(dragOrigin.x + FieldSize * fields.firstColumn, dragOrigin.y + FieldSize * fields.firstRow,
                       FieldSize * (fields.lastColumn - fields.firstColumn + 1),
                       FieldSize * (fields.lastRow - fields.firstRow + 1));
}

void Editor::dragRectangle(const InputState& input, const Presses& presses, FieldMap& map, bool hit, int column,
                           int row)
{
    if (!dragging)
    {
        // A press while the left button paints starts nothing.
        if (presses.right && hit && !input.leftButton)
        {
            dragging = true;
            dragStart = dragEnd = {column, row};
        }
        return;
    }
    if (presses.left)
    {
        dragging = false;
        leftBlocked = true;
        return;
    }
    if (hit)
        dragEnd = {column, row};
    if (!input.rightButton)
    {
        dragging = false;
        applyRectangle(input, map, dragFields());
    }
}

void Editor::applyRectangle(const InputState& input, FieldMap& map, const FieldRect& fields)
{
    const bool shift = keys.held(input, KeyAction::Erase);
    int stepColumns = 1;
    int stepRows = 1;
    int objectId = 0;
    if (state.mode == EditorMode::PlaceObject && !shift)
    {
        const ObjectType* object = content ? content->object(state.selectedObject) : nullptr;
        if (!object)
            return;
        objectId = state.selectedObject;
        stepColumns = footprintFields(object->sprite.getTextureRect().width);
        stepRows = footprintFields(object->sprite.getTextureRect().height);
    }

    edits.begin(map, EditKind::Rectangle);
    for (int c = fields.firstColumn; c <= fields.lastColumn; c += stepColumns)
    {
        for (int r = fields.firstRow; r <= fields.lastRow; r += stepRows)
        {
            switch (state.mode)
            {
            case EditorMode::PaintGround:
                map.paintGround(c, r, state.selectedGround, state.underLayer);
                break;
            case EditorMode::PlaceObject:
                map.setObject(c, r, objectId);
                break;
            case EditorMode::MarkSolid:
                map.setSolid(c, r, !shift);
                break;
            }
        }
    }
    edits.end();
}

void Editor::readKeys(const InputState& input)
{
    // Later keys overwrite earlier ones, so the last held key of a kind wins.
    if (keys.held(input, KeyAction::UnderLayer))
        state.underLayer = true;
    // Ctrl+Z is undo, not the ground layer.
    if (keys.held(input, KeyAction::GroundLayer) && !ctrlHeld(input))
        state.underLayer = false;
    if (keys.held(input, KeyAction::ObjectMode))
        state.mode = EditorMode::PlaceObject;
    if (keys.held(input, KeyAction::PaintMode))
        state.mode = EditorMode::PaintGround;
    if (keys.held(input, KeyAction::SolidMode))
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
    step(keys.held(input, KeyAction::NextObject), object < objectCount() - 1, object, +1);
    step(keys.held(input, KeyAction::PreviousObject), object > 0, object, -1);
    step(keys.held(input, KeyAction::SmallerBrush), brush > MinBrushSize, brush, -1);
    step(keys.held(input, KeyAction::LargerBrush), brush < MaxBrushSize, brush, +1);

    // Types past the first six only where they are loaded, so a content set
    // of six keeps Num7..Num9 doing nothing.
    for (int ground = 0; ground < GroundKeys; ++ground)
    {
        if (keys.held(input, static_cast<KeyAction>(static_cast<int>(KeyAction::Ground1) + ground)) &&
            (ground < GroundChoices || ground < groundTypeCount()))
            state.selectedGround = ground;
    }
}

void Editor::turnWheel(float notches)
{
    if (!std::isfinite(notches))
        return;
    wheelTravel += notches;
    const int steps = static_cast<int>(wheelTravel); // toward zero: a part of a notch waits for the rest
    wheelTravel -= static_cast<float>(steps);
    if (steps == 0)
        return;
    const auto stepThrough = [steps](int& value, int count) {
        // From a number outside the set the wheel comes back into it.
        const long long next = static_cast<long long>(value) + steps;
        value = static_cast<int>(std::clamp<long long>(next, 0, std::max(count - 1, 0)));
    };
    if (state.mode == EditorMode::PaintGround)
        stepThrough(state.selectedGround, groundTypeCount());
    else if (state.mode == EditorMode::PlaceObject)
        stepThrough(state.selectedObject, objectCount());
}

void Editor::chooseGround(int type)
{
    if (type < 0 || type >= groundTypeCount())
        return;
    state.selectedGround = type;
    state.mode = EditorMode::PaintGround;
}

void Editor::chooseObject(int id)
{
    if (id < 0 || id >= objectCount())
        return;
    state.selectedObject = id;
    state.mode = EditorMode::PlaceObject;
}

int Editor::groundTypeCount() const
{
    return content ? content->groundTypeCount() : GroundChoices;
}

int Editor::objectCount() const
{
    return content ? content->objectCount() : ObjectChoices;
}

bool Editor::findField(const FieldMap& map, int x0, int y0, float px, float py, int& column, int& row)
{
    // A map origin right of or below the scene's corner puts column or row 0
    // first: the fields there are as much under the mouse as any other.
    const int c0 = std::max(0, -(x0 / FieldSize));
    const int r0 = std::max(0, -(y0 / FieldSize));
    if (c0 >= MapSize)
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
    const bool shift = keys.held(input, KeyAction::Erase);
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

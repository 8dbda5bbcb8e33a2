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

bool ctrlHeld(const InputState& input)
{
    return input.isKeyPressed(sf::Keyboard::LControl) || input.isKeyPressed(sf::Keyboard::RControl);
}

bool shiftHeld(const InputState& input)
{
    return input.isKeyPressed(sf::Keyboard::LShift) || input.isKeyPressed(sf::Keyboard::RShift);
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

Editor::Editor(const GameData& content, const TimeSource& time)
    : stepClock(time), toggleClock(time), content(content), fillSeen(FieldCount, 0)
{
    fillStack.reserve(FieldCount);
    if (content.editorTexture)
        cursorSprite.setTexture(*content.editorTexture, false);
    cursorSprite.setTextureRect(sf::IntRect(0, 0, CursorSize, CursorSize));
}

const std::string* Editor::update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY)
{
    const Presses presses = pressesOf(input);
    previous = input;

    if (input.isKeyPressed(sf::Keyboard::E) && timedKeyReady(toggleClock))
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

    const std::optional<sf::Vector2i> under = map->fieldUnder({px, py});
    const bool hit = under.has_value();
    const int column = hit ? under->x : 0;
    const int row = hit ? under->y : 0;
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
    const auto went = [&](sf::Keyboard::Key key) { return input.isKeyPressed(key) && !previous.isKeyPressed(key); };
    const bool ctrl = ctrlHeld(input);
    const bool shift = shiftHeld(input);
    Presses presses;
    presses.undo = ctrl && !shift && went(sf::Keyboard::Z);
    presses.redo = ctrl && (went(sf::Keyboard::Y) || (shift && went(sf::Keyboard::Z)));
    presses.fill = went(sf::Keyboard::F);
    presses.pick = went(sf::Keyboard::Q) || (input.middleButton && !previous.middleButton);
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
        state.selectedGround = state.underLayer ? field.underType() : field.groundType();
        break;
    case EditorMode::PlaceObject:
        state.selectedObject = field.objectId();
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
    const auto typeOf = [under](const Field& field) { return under ? field.underType() : field.groundType(); };
    const int regionType = typeOf(map.at(column, row));
    if (paint && regionType == state.selectedGround)
        return; // would change nothing
    const bool solid = !input.isKeyPressed(sf::Keyboard::LShift);

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
    const bool shift = input.isKeyPressed(sf::Keyboard::LShift);
    int stepColumns = 1;
    int stepRows = 1;
    int objectId = 0;
    if (state.mode == EditorMode::PlaceObject && !shift)
    {
        const ObjectType* object = content.object(state.selectedObject);
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
    if (input.isKeyPressed(sf::Keyboard::U))
        state.underLayer = true;
    // Ctrl+Z is undo, not the ground layer.
    if (input.isKeyPressed(sf::Keyboard::Z) && !ctrlHeld(input))
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
    step(input.isKeyPressed(sf::Keyboard::K), object < objectCount() - 1, object, +1);
    step(input.isKeyPressed(sf::Keyboard::L), object > 0, object, -1);
    step(input.isKeyPressed(sf::Keyboard::Subtract) || input.isKeyPressed(sf::Keyboard::Hyphen),
         brush > MinBrushSize, brush, -1);
    step(input.isKeyPressed(sf::Keyboard::Add) || input.isKeyPressed(sf::Keyboard::Equal), brush < MaxBrushSize,
         brush, +1);

    // Types past the first six only where they are loaded, so a content set
    // of six keeps Num7..Num9 doing nothing.
    for (int ground = 0; ground < GroundKeys; ++ground)
    {
        if (input.isKeyPressed(static_cast<sf::Keyboard::Key>(sf::Keyboard::Num1 + ground)) &&
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
    return content.groundTypeCount();
}

int Editor::objectCount() const
{
    return content.objectCount();
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

#include "editor/Editor.h"

#include "editor/BlockTool.h"
#include "editor/BrushTool.h"
#include "editor/FieldChange.h"
#include "editor/LineTool.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "platform/FrameKey.h"
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
    case EditKind::Cut: return "cut";
    case EditKind::Clearing: return "clearing";
    case EditKind::Paste: return "paste";
    case EditKind::Line: return "line";
    }
    return "edit";
}

// "Undone: painting, 12 fields"; a load that only moved the map has no count.
std::string describeEdit(const char* done, const EditSummary& edit)
{
    std::string text = std::string(done) + ": " + kindName(edit.kind);
    if (edit.fields > 0)
        text += ", " + withThousands(edit.fields) + (edit.fields == 1 ? " field" : " fields");
    return text;
}

// "12 x 8 fields".
std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height) + (width * height == 1 ? " field" : " fields");
}

std::string sizeText(const FieldRange& range)
{
    return sizeText(range.lastColumn - range.firstColumn + 1, range.lastRow - range.firstRow + 1);
}

constexpr const char* EmptyClipboard = "The clipboard is empty";
constexpr const char* NothingSelected = "Nothing selected";

} // namespace

Editor::Editor(const GameData& content, const TimeSource& time, const KeyBindings& keys)
    : stepClock(time), toggleClock(time), content(content), keys(keys)
{
    if (content.editorTexture)
        cursorSprite.setTexture(*content.editorTexture, false);
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
    if (!state.active || !input.leftButton)
        stroke.reset();
    if (!input.leftButton)
        leftBlocked = false;
    // The frame that switched the editor on already reads its keys and mouse.
    if (!state.active)
    {
        rectangle.cancel();
        selector.stopDragging();
        pasteShown = false;
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
    if (const std::string* said = selectionKeys(presses, *map))
        shown = said;

    const sf::Vector2f& origin = map->origin();
    const int x0 = truncatePixel(origin.x);
    const int y0 = truncatePixel(origin.y);
    // The window shows the map's view, which starts at its corner.
    const float px = static_cast<float>(input.mousePosition.x) / sceneScaleX + static_cast<float>(map->viewCorner().x);
    const float py = static_cast<float>(input.mousePosition.y) / sceneScaleY + static_cast<float>(map->viewCorner().y);

    const std::optional<sf::Vector2i> under = map->fieldUnder({px, py});
    // Picking comes first: what is picked is what the same frame paints.
    const bool removing = keys.held(input, KeyAction::Erase);
    if (under && presses.pick)
        FieldChange::fromChoices(state, removing).pick(map->at(under->x, under->y), state);
    const FieldChange change = FieldChange::fromChoices(state, removing);
    if (under)
    {
        hovered = under;
        cursorSprite.setPosition(static_cast<float>(x0 + FieldSize * under->x),
                                 static_cast<float>(y0 + FieldSize * under->y));
        if (presses.fill)
            filler.fill(*map, edits, change, under->x, under->y);
    }
    bool rightTaken = false; // by the paste or the selection, so no rectangle starts
    if (const std::string* said = selectionMouse(input, presses, *map, under, rightTaken))
        shown = said;
    const RectangleTool::Buttons buttons{presses.right && !rightTaken, input.rightButton, presses.left,
                                         input.leftButton};
    switch (rectangle.update(buttons, under, {x0, y0}))
    {
    case RectangleTool::Outcome::None: break;
    case RectangleTool::Outcome::Cancelled: leftBlocked = true; break;
    case RectangleTool::Outcome::Released: RectangleTool::apply(*map, edits, change, content, rectangle.fields()); break;
    }
    const bool ctrl = ctrlHeld(input);
    const bool startsHere = presses.left && under && !leftBlocked && !rectangle.active();
    if (presses.left && ctrl)
    {
        // Ctrl + the left button selects and never paints, also when pressed off the map.
        if (startsHere)
            selector.start(*under);
        else
            leftBlocked = true;
    }
    if (selector.active())
    {
        if (selector.update(input.leftButton, under))
            shown = say("Selected " + sizeText(*selector.selection()));
        return shown;
    }
    if (startsHere && shiftHeld(input) && state.mode != EditorMode::PlaceObject)
    {
        // The line opens the stroke's edit, so the two are undone together.
        stroke.reset();
        stroke.emplace(edits, *map, EditKind::Line);
        LineTool::apply(*map, change, lastActed.value_or(*under), *under);
    }
    if (under && input.leftButton && !leftBlocked && !rectangle.active())
    {
        // A fill, a rectangle or a load closes the stroke's edit; painting on
        // opens the next one.
        if (!edits.isOpen())
            stroke.emplace(edits, *map, change.strokeKind());
        BrushTool::apply(*map, change, under->x, under->y);
        lastActed = under;
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
    presses.copy = ctrl && went(KeyAction::Copy);
    presses.cut = ctrl && went(KeyAction::Cut);
    presses.paste = ctrl && went(KeyAction::Paste);
    presses.clear = went(KeyAction::DeleteSelection);
    presses.flipHorizontally = !ctrl && went(KeyAction::FlipHorizontally);
    presses.flipVertically = !ctrl && went(KeyAction::FlipVertically);
    presses.turn = !ctrl && went(KeyAction::TurnClockwise);
    return presses;
}

const std::string* Editor::undoOrRedo(const InputState& input, FieldMap& map, bool redo)
{
    // The stroke so far is an edit of its own; the buttons start afresh.
    stroke.reset();
    rectangle.cancel();
    selector.stopDragging();
    leftBlocked = input.leftButton;
    const std::optional<EditSummary> done = redo ? edits.redo(map) : edits.undo(map);
    if (done)
        message = describeEdit(redo ? "Redone" : "Undone", *done);
    else
        message = redo ? "Nothing to redo" : "Nothing to undo";
    return &message;
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
    return content.groundTypeCount();
}

int Editor::objectCount() const
{
    return content.objectCount();
}


void Editor::describe(FrameKey& key) const
{
    state.describe(key);
    key.add(cursorSprite);
    const std::optional<sf::IntRect> outline = rectangleOutline();
    key.add(outline.has_value()).add(outline.value_or(sf::IntRect()));
    const FieldRange selected = selection().value_or(FieldRange{});
    key.add(selection().has_value()).add(selected.firstColumn).add(selected.firstRow).add(selected.lastColumn)
        .add(selected.lastRow);
    const std::optional<sf::Vector2i> pasteAt = pastePosition();
    key.add(pasteAt.has_value()).add(pasteAt.value_or(sf::Vector2i())).add(copiedRevision);
}

const std::string* Editor::say(std::string text)
{
    message = std::move(text);
    return &message;
}

const std::string* Editor::selectionKeys(const Presses& presses, FieldMap& map)
{
    const std::string* shown = nullptr;
    const std::optional<FieldRange>& selected = selector.selection();
    if (presses.copy || presses.cut || presses.clear)
    {
        if (!selected)
            return say(NothingSelected);
        const FieldRange& range = *selected;
        if (presses.copy || presses.cut)
        {
            setClipboard(FieldBlock::copiedFrom(map, range.firstColumn, range.firstRow, range.lastColumn,
                                                range.lastRow));
            shown = say((presses.cut ? "Cut " : "Copied ") + sizeText(range));
        }
        if (presses.cut || presses.clear)
            BlockTool::clear(map, edits, presses.cut ? EditKind::Cut : EditKind::Clearing, range);
        if (presses.clear && !presses.cut)
            shown = say("Cleared " + sizeText(range));
    }
    if (presses.flipHorizontally || presses.flipVertically || presses.turn)
    {
        if (copied.empty())
            return say(EmptyClipboard);
        if (presses.flipHorizontally)
            setClipboard(copied.flippedHorizontally());
        if (presses.flipVertically)
            setClipboard(copied.flippedVertically());
        if (presses.turn)
            setClipboard(copied.rotatedClockwise());
        const char* what = presses.turn ? "turned clockwise" : presses.flipVertically ? "flipped top to bottom"
                                                                                     : "flipped left to right";
        shown = say(std::string("Clipboard ") + what + ", " + sizeText(copied.width(), copied.height()));
    }
    if (presses.paste)
    {
        if (pasteShown)
        {
            pasteShown = false;
            return say("Paste cancelled");
        }
        if (copied.empty())
            return say(EmptyClipboard);
        startPaste();
        shown = say("Pasting " + sizeText(copied.width(), copied.height()) +
                    ": a left click places, a right click cancels");
    }
    return shown;
}

const std::string* Editor::selectionMouse(const InputState& input, const Presses& presses, FieldMap& map,
                                          const std::optional<sf::Vector2i>& under, bool& rightTaken)
{
    if (pasteShown)
    {
        // The paste owns both buttons until it is placed or cancelled.
        rightTaken = true;
        if (input.leftButton)
            leftBlocked = true;
        if (presses.right)
        {
            pasteShown = false;
            return say("Paste cancelled");
        }
        if (presses.left && under)
        {
            pasteShown = false;
            stroke.reset();
            const sf::Vector2i placed = BlockTool::paste(map, edits, copied, *under);
            return say("Pasted " + sizeText(placed.x, placed.y));
        }
        return nullptr;
    }
    if (presses.right && ctrlHeld(input))
    {
        rightTaken = true;
        const bool had = selector.selection().has_value();
        selector.clear();
        return say(had ? "Selection cleared" : NothingSelected);
    }
    return nullptr;
}

std::optional<sf::IntRect> Editor::selectionOutline(sf::Vector2f origin) const
{
    if (!state.active || !selection())
        return std::nullopt;
    return SelectionTool::outline(*selection(), origin);
}

void Editor::setClipboard(FieldBlock block)
{
    copied = std::move(block);
    ++copiedRevision;
    if (copied.empty())
        pasteShown = false;
}

void Editor::startPaste()
{
    if (copied.empty())
        return;
    rectangle.cancel();
    pasteShown = true;
}

std::optional<sf::Vector2i> Editor::pastePosition() const
{
    if (!pasteShown || !state.active)
        return std::nullopt;
    return hovered;
}

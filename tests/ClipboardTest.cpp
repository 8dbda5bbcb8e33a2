// The editor's selection, clipboard, paste and line, through its update with
// scripted input.

#include "WorldFixture.h"

#include "editor/Editor.h"

#include <set>

namespace
{
using K = sf::Keyboard;
using Fields = std::set<std::pair<int, int>>; // column, row

// The middle of field (c, r) of a map at (0, 0), window pixels at scale 1.
sf::Vector2i at(int c, int r) { return {16 * c + 8, 16 * r + 8}; }

// Ground types 0..4 and 0..5, object 1 and solid on some fields of `range`:
// no field as a new map has it, seams everywhere.
void paintPattern(FieldMap& map, const FieldRange& range)
{
    for (int c = range.firstColumn; c <= range.lastColumn; ++c)
        for (int r = range.firstRow; r <= range.lastRow; ++r)
            map.setValues(c, r, {(c * 7 + r * 3) % 5, (c + r) % 6, (c + 2 * r) % 5 == 0 ? 1 : 0, (c * r) % 3 == 1});
}

class ClipboardTest : public WorldFixture
{
protected:
    ClipboardTest() { editor.setChoices({true, EditorMode::PaintGround, false, 2, 1, 1}); }
    // One frame; the message it gave, "" for none.
    std::string step(sf::Vector2i mouse, const Keys& held = {}, bool left = false, bool right = false)
    {
        InputState input = pressing(held);
        input.mousePosition = mouse;
        input.leftButton = left;
        input.rightButton = right;
        const std::string* message = editor.update(input, target, 1.f, 1.f);
        return message ? *message : "";
    }
    // A press over `mouse` and its release; the press's message, else the release's.
    std::string tap(const Keys& held, sf::Vector2i mouse = at(0, 0), bool left = false, bool right = false)
    {
        const std::string said = step(mouse, held, left, right);
        const std::string released = step(mouse);
        return said.empty() ? released : said;
    }
    FieldBlock values(const FieldRange& r) const
    {
        return FieldBlock::copiedFrom(map, r.firstColumn, r.firstRow, r.lastColumn, r.lastRow);
    }
    ManualTimeSource time;
    Editor editor{*data, time};
    FieldMap* target = &map; // the map the editor edits
};
} // namespace

TEST_F(ClipboardTest, SelectionIsCopiedCutAndClearedAsOneEditEach)
{
    const FieldRange area{2, 3, 5, 4}, around{0, 0, 9, 9};
    paintPattern(map, around);
    const FieldBlock before = values(area), all = values(around);
    std::uint64_t unchanged = map.revision();

    EXPECT_EQ(tap({K::LControl, K::C}), "Nothing selected");
    // Ctrl + the left button paints nothing, also pressed off the map; a drag
    // from the bottom-right corner.
    step({-20, 8}, {K::LControl}, true);
    tap({}, at(1, 1), true);
    step(at(5, 4), {K::LControl}, true);
    step(at(2, 3), {}, true);
    EXPECT_EQ(step(at(2, 3)), "Selected 4 x 2 fields");
    EXPECT_EQ(map.revision(), unchanged);
    EXPECT_EQ(editor.selectionOutline({-3.5f, 0.f}), sf::IntRect(-3 + 32, 48, 64, 32));

    struct Case { Keys keys; const char* said; const char* undone; bool copies; };
    const Case cases[] = {
        {{K::RControl, K::C}, "Copied 4 x 2 fields", nullptr, true},
        {{K::LControl, K::X}, "Cut 4 x 2 fields", "Undone: cut, 8 fields", true},
        {{K::Delete}, "Cleared 4 x 2 fields", "Undone: clearing, 8 fields", false},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.said);
        editor.setClipboard({});
        EXPECT_EQ(tap(k.keys), k.said);
        EXPECT_EQ(editor.clipboard() == before, k.copies);
        EXPECT_EQ(values(area) == FieldBlock(4, 2), k.undone != nullptr);
        EXPECT_EQ(map.revision(), unchanged + (k.undone ? 8 : 0)) << "nothing outside";
        EXPECT_EQ(tap({K::LControl, K::Z}), k.undone ? k.undone : "Nothing to undo");
        EXPECT_EQ(values(around), all);
        unchanged = map.revision();
    }
    // A Ctrl+click selects one field; Ctrl + right click clears the selection
    // and starts no rectangle.
    EXPECT_EQ(tap({K::LControl}, at(7, 7), true), "Selected 1 x 1 field");
    EXPECT_EQ(tap({K::LControl, K::C}), "Copied 1 x 1 field");
    EXPECT_EQ(editor.clipboard(), values({7, 7, 7, 7}));
    EXPECT_EQ(tap({K::LControl}, at(7, 7), false, true), "Selection cleared");
    EXPECT_EQ(tap({K::Delete}), "Nothing selected");
    EXPECT_EQ(map.revision(), unchanged);
}

// A paste puts the block's values and pieces as painting them field by field,
// one per frame, does: inside the block, along its seams, clipped at the edges.
TEST_F(ClipboardTest, PasteMatchesPaintingTheSameValuesFieldByField)
{
    FieldBlock block(8, 6);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 6; ++r)
            block.at(c, r) = {(c / 2 + r) % 4, (c + r) % 3, c == r ? 2 : 0, (c + r) % 4 == 0};
    struct Case { sf::Vector2i topLeft; sf::Vector2f origin; const char* said; };
    const Case cases[] = {
        {{20, 30}, {-16.f * 15, -16.f * 27}, "Pasted 8 x 6 fields"},
        {{195, 196}, {-16.f * 185, -16.f * 190}, "Pasted 5 x 4 fields"}, // the bottom-right corner
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.said);
        FieldMap pasted(*data), replay(*data);
        target = &pasted;
        for (FieldMap* m : {&pasted, &replay})
        {
            paintPattern(*m, {k.topLeft.x - 4, k.topLeft.y - 4, std::min(k.topLeft.x + 11, 199),
                              std::min(k.topLeft.y + 9, 199)});
            m->setOrigin(k.origin.x, k.origin.y);
            m->refresh();
        }
        editor.setClipboard(block);
        EXPECT_EQ(tap({K::LControl, K::V}), "Pasting 8 x 6 fields: a left click places, a right click cancels");
        const sf::Vector2i mouse(int(k.origin.x) + 16 * k.topLeft.x + 8, int(k.origin.y) + 16 * k.topLeft.y + 8);
        step(mouse);
        EXPECT_EQ(editor.pastePosition(), std::optional<sf::Vector2i>(k.topLeft));
        EXPECT_EQ(step(mouse, {}, true), k.said);
        tap({}, mouse, true); // held: placed once, paints nothing
        pasted.refresh();

        for (int r = 0; r < block.height(); ++r)
            for (int c = 0; c < block.width(); ++c)
                if (FieldMap::onMap(k.topLeft.x + c, k.topLeft.y + r))
                {
                    const int x = k.topLeft.x + c, y = k.topLeft.y + r;
                    replay.paintGround(x, y, block.at(c, r).groundType, false);
                    replay.paintGround(x, y, block.at(c, r).underType, true);
                    replay.setObject(x, y, block.at(c, r).objectId);
                    replay.setSolid(x, y, block.at(c, r).solid);
                    replay.refresh();
                }
        int differing = 0;
        for (std::size_t i = 0; i < std::size_t(FieldCount); ++i)
            differing += pasted.fields()[i].values() != replay.fields()[i].values() ||
                         pasted.fields()[i].pieceKey() != replay.fields()[i].pieceKey();
        EXPECT_EQ(differing, 0);
        target = &map; // before `pasted` goes
    }
}

// H, V and R move every field and object of a non-square clipboard, also while
// its paste shows; Ctrl+V cancels the paste and does not flip.
TEST_F(ClipboardTest, FlipsAndTurnsThroughTheKeysMoveFieldsAndObjects)
{
    EXPECT_EQ(tap({K::H}), "The clipboard is empty");
    FieldBlock block(3, 2);
    block.at(0, 0).objectId = 1, block.at(1, 1).objectId = 2, block.at(2, 0).solid = true, block.at(2, 1).groundType = 3;
    editor.setClipboard(block);
    EXPECT_EQ(tap({K::R}), "Clipboard turned clockwise, 2 x 3 fields");
    tap({K::LControl, K::V});
    EXPECT_EQ(tap({K::LControl, K::V}), "Paste cancelled");
    tap({K::LControl, K::V});
    EXPECT_EQ(tap({K::H}), "Clipboard flipped left to right, 2 x 3 fields");
    EXPECT_EQ(tap({K::V}), "Clipboard flipped top to bottom, 2 x 3 fields");
    EXPECT_EQ(tap({}, at(10, 10), true), "Pasted 2 x 3 fields");
    const FieldBlock placed = values({10, 10, 11, 12});
    EXPECT_TRUE(placed.at(0, 2).objectId == 1 && placed.at(1, 1).objectId == 2 && placed.at(0, 0).solid &&
                placed.at(1, 0).groundType == 3);
    EXPECT_EQ(tap({K::LControl, K::Z}), "Undone: paste, 4 fields");
    // A right click cancels a paste and starts no rectangle.
    tap({K::LControl, K::V});
    EXPECT_EQ(step(at(4, 4), {}, false, true), "Paste cancelled");
    step(at(6, 6), {}, false, true);
    step(at(6, 6));
    EXPECT_EQ(map.revision(), 4u * 2);
}

// Shift + left click draws a straight line with the brush from the last field
// the left button acted on, in paint and solid modes, as one edit.
TEST_F(ClipboardTest, ShiftClickDrawsALineWithTheBrushAsOneEdit)
{
    struct Case { EditorMode mode; int brush; Keys shift; sf::Vector2i first, end; Fields changed; const char* undone; };
    const Case cases[] = {
        // Nothing acted on yet: the one field.
        {EditorMode::PaintGround, 1, {K::RShift}, {-1, -1}, {3, 3}, {{3, 3}}, "Undone: line, 1 field"},
        {EditorMode::PaintGround, 1, {K::LShift}, {2, 5}, {6, 7}, {{3, 6}, {4, 6}, {5, 7}, {6, 7}}, "Undone: line, 4 fields"},
        {EditorMode::PaintGround, 1, {K::LShift}, {30, 30}, {31, 34}, {{30, 31}, {31, 32}, {31, 33}, {31, 34}},
         "Undone: line, 4 fields"},
        {EditorMode::PaintGround, 2, {K::RShift}, {10, 10}, {12, 10},
         {{11, 9}, {12, 9}, {11, 11}, {12, 11}, {12, 10}, {13, 10}}, "Undone: line, 6 fields"},
        {EditorMode::PlaceObject, 1, {K::RShift}, {30, 12}, {32, 12}, {{32, 12}}, "Undone: objects, 1 field"}, // no line
        {EditorMode::MarkSolid, 1, {K::RShift}, {20, 20}, {20, 23}, {{20, 21}, {20, 22}, {20, 23}}, "Undone: line, 3 fields"},
        // Left Shift, the erase key, clears the line in solid mode.
        {EditorMode::MarkSolid, 1, {K::LShift}, {-1, -1}, {20, 21}, {{20, 21}, {20, 22}, {20, 23}}, "Undone: line, 3 fields"},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(&k - cases);
        editor.setChoices({true, k.mode, false, 2, 1, k.brush});
        if (k.first.x >= 0)
            tap({}, at(k.first.x, k.first.y), true);
        const FieldBlock before = values({0, 0, 39, 39});
        tap(k.shift, at(k.end.x, k.end.y), true);
        Fields changed;
        for (int c = 0; c < 40; ++c)
            for (int r = 0; r < 40; ++r)
                if (map.at(c, r).values() != before.at(c, r))
                    changed.insert({c, r});
        EXPECT_EQ(changed, k.changed);
        EXPECT_EQ(tap({K::LControl, K::Z}), k.undone);
        EXPECT_EQ(values({0, 0, 39, 39}), before);
        tap({K::LControl, K::Y});
    }
}

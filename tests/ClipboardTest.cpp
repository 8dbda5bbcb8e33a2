// The editor's selection, clipboard, paste and line, through its update with
// scripted input.

#include "WorldFixture.h"

#include "editor/Editor.h"
#include "editor/LineTool.h"
#include "hud/BlockPreview.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <set>
#include <string>
#include <vector>

namespace
{
using K = sf::Keyboard;
using Fields = std::set<std::pair<int, int>>; // column, row

// The middle of field (c, r) of a map at (0, 0), window pixels at scale 1.
sf::Vector2i at(int c, int r)
{
    return {16 * c + 8, 16 * r + 8};
}

// Ground types 0..4 and 0..5, object 1 and solid on some, for every field
// of `range` of `map`: no field as a new map has it, seams everywhere.
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
    // A press of `held` over field (c, r) and its release; the press's message.
    std::string tap(const Keys& held, sf::Vector2i mouse = at(0, 0))
    {
        const std::string said = step(mouse, held);
        step(mouse);
        return said;
    }
    // A left-button drag with `held` from field `from` to field `to`, then its release.
    std::string drag(sf::Vector2i from, sf::Vector2i to, const Keys& held)
    {
        step(at(from.x, from.y), held, true);
        step(at(to.x, to.y), held, true);
        return step(at(to.x, to.y));
    }
    FieldBlock values(const FieldRange& r) const
    {
        return FieldBlock::copiedFrom(map, r.firstColumn, r.firstRow, r.lastColumn, r.lastRow);
    }
    Fields where(bool (*has)(const Field&)) const
    {
        Fields fields;
        for (int i = 0; i < FieldCount; ++i)
            if (has(map.fields()[std::size_t(i)]))
                fields.insert({i / MapSize, i % MapSize});
        return fields;
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
    const FieldBlock before = values(area);
    FieldBlock cleared = values(around);
    for (int c = 2; c <= 5; ++c)
        for (int r = 3; r <= 4; ++r)
            cleared.at(c, r) = {};
    const std::uint64_t unchanged = map.revision();

    EXPECT_EQ(tap({K::LControl, K::C}), "Nothing selected");
    // Dragged from the bottom-right corner; Ctrl + the left button paints nothing.
    EXPECT_EQ(drag({5, 4}, {2, 3}, {K::LControl}), "Selected 4 x 2 fields");
    EXPECT_EQ(map.revision(), unchanged);
    ASSERT_TRUE(editor.selection().has_value());
    EXPECT_EQ(editor.selectionOutline({-3.5f, 0.f}), sf::IntRect(-3 + 32, 48, 64, 32));

    struct Case { Keys keys; const char* said; const char* undone; bool clipboardSet, cleared; };
    const Case cases[] = {
        {{K::RControl, K::C}, "Copied 4 x 2 fields", nullptr, true, false},
        {{K::LControl, K::X}, "Cut 4 x 2 fields", "Undone: cut, 8 fields", true, true},
        {{K::Delete}, "Cleared 4 x 2 fields", "Undone: clearing, 8 fields", false, true},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.said);
        editor.setClipboard({});
        const std::size_t undos = editor.history().undoCount();
        EXPECT_EQ(tap(k.keys), k.said);
        EXPECT_EQ(editor.clipboard() == before, k.clipboardSet);
        EXPECT_EQ(values(around) == cleared, k.cleared) << "the selection, and nothing outside";
        EXPECT_EQ(values(area), k.cleared ? FieldBlock(4, 2) : before);
        EXPECT_EQ(editor.history().undoCount(), undos + (k.cleared ? 1 : 0));
        if (k.undone)
        {
            EXPECT_EQ(tap({K::LControl, K::Z}), k.undone);
            EXPECT_EQ(values(area), before);
        }
    }
    // A Ctrl+click selects one field; Ctrl + right click clears the selection.
    const std::uint64_t undone = map.revision();
    EXPECT_EQ(drag({7, 7}, {7, 7}, {K::LControl}), "Selected 1 x 1 field");
    EXPECT_EQ(tap({K::LControl, K::C}), "Copied 1 x 1 field");
    EXPECT_EQ(editor.clipboard(), values({7, 7, 7, 7}));
    step(at(7, 7), {K::LControl}, false, true);
    EXPECT_EQ(step(at(7, 7)), "");
    EXPECT_FALSE(editor.selection().has_value());
    EXPECT_FALSE(editor.rectangleOutline().has_value()) << "Ctrl + right click starts no rectangle";
    EXPECT_EQ(tap({K::Delete}), "Nothing selected");
    EXPECT_EQ(map.revision(), undone);
}

// Pasting puts the block's values as painting them one by one would, with the
// same pieces inside the block and along its seams, clipped at the map's edges.
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
            paintPattern(*m, {k.topLeft.x - 4, k.topLeft.y - 4, std::min(k.topLeft.x + 11, 199), std::min(k.topLeft.y + 9, 199)});
            m->setOrigin(k.origin.x, k.origin.y);
            m->refresh();
        }
        editor.setClipboard(block);
        const std::size_t undos = editor.history().undoCount();
        EXPECT_EQ(tap({K::LControl, K::V}), "Pasting 8 x 6 fields: a left click places, a right click cancels");
        const sf::Vector2i mouse(int(k.origin.x) + 16 * k.topLeft.x + 8, int(k.origin.y) + 16 * k.topLeft.y + 8);
        step(mouse);
        EXPECT_EQ(editor.pastePosition(), std::optional<sf::Vector2i>(k.topLeft));
        EXPECT_EQ(step(mouse, {}, true), k.said);
        step(mouse, {}, true); // held: placed once, paints nothing
        step(mouse);
        EXPECT_FALSE(editor.pasting());
        pasted.refresh();
        EXPECT_EQ(editor.history().undoCount(), undos + 1);

        for (int r = 0; r < block.height(); ++r)
            for (int c = 0; c < block.width(); ++c)
                if (FieldMap::onMap(k.topLeft.x + c, k.topLeft.y + r))
                {
                    const FieldValues& v = block.at(c, r);
                    replay.paintGround(k.topLeft.x + c, k.topLeft.y + r, v.groundType, false);
                    replay.paintGround(k.topLeft.x + c, k.topLeft.y + r, v.underType, true);
                    replay.setObject(k.topLeft.x + c, k.topLeft.y + r, v.objectId);
                    replay.setSolid(k.topLeft.x + c, k.topLeft.y + r, v.solid);
                    replay.refresh();
                }
        int differing = 0;
        for (int i = 0; i < FieldCount; ++i)
            differing += pasted.fields()[std::size_t(i)].values() != replay.fields()[std::size_t(i)].values() ||
                         pasted.fields()[std::size_t(i)].pieceKey() != replay.fields()[std::size_t(i)].pieceKey();
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
    block.at(0, 0).objectId = 1;
    block.at(1, 1).objectId = 2;
    block.at(2, 0).solid = true;
    block.at(2, 1).groundType = 3;
    editor.setClipboard(block);
    const std::uint64_t revision = editor.clipboardRevision();
    EXPECT_EQ(tap({K::R}), "Clipboard turned clockwise, 2 x 3 fields");
    tap({K::LControl, K::V});
    EXPECT_EQ(tap({K::LControl, K::V}), "Paste cancelled");
    EXPECT_FALSE(editor.pasting());
    tap({K::LControl, K::V});
    EXPECT_EQ(tap({K::H}), "Clipboard flipped left to right, 2 x 3 fields");
    EXPECT_EQ(tap({K::V}), "Clipboard flipped top to bottom, 2 x 3 fields");
    EXPECT_EQ(editor.clipboardRevision(), revision + 3);
    EXPECT_TRUE(editor.pasting());
    step(at(10, 10), {}, true);
    step(at(10, 10));
    EXPECT_EQ(map.at(10, 12).objectId(), 1);
    EXPECT_EQ(map.at(11, 11).objectId(), 2);
    EXPECT_EQ(where([](const Field& f) { return f.objectId() != 0; }), (Fields{{10, 12}, {11, 11}}));
    EXPECT_EQ(where([](const Field& f) { return f.solid(); }), (Fields{{10, 10}}));
    EXPECT_EQ(where([](const Field& f) { return f.groundType() != DefaultGroundType; }), (Fields{{11, 10}}));
    EXPECT_EQ(tap({K::LControl, K::Z}), "Undone: paste, 4 fields");
    EXPECT_TRUE(where([](const Field& f) { return f.values() != FieldValues{}; }).empty());
    // A right click cancels a paste and starts no rectangle.
    tap({K::LControl, K::V});
    EXPECT_EQ(step(at(4, 4), {}, false, true), "Paste cancelled");
    step(at(6, 6), {}, false, true);
    step(at(6, 6));
    EXPECT_EQ(map.revision(), 4u * 2);
}

TEST_F(ClipboardTest, LineFieldsRunStraightBetweenTheEnds)
{
    using Line = std::vector<sf::Vector2i>;
    struct Case { sf::Vector2i from, to; Line fields; };
    const Case cases[] = {
        {{3, 3}, {3, 3}, {{3, 3}}},
        {{5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}, {1, 2}}},
        {{0, 0}, {0, 3}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {{4, 4}, {1, 1}, {{4, 4}, {3, 3}, {2, 2}, {1, 1}}},
        {{0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {{0, 0}, {1, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(LineTool::fields(k.from, k.to), k.fields) << (&k - cases);
}

// Shift + left click draws the line with the brush from the last field the
// left button acted on, in paint and solid modes, as one edit with its stroke.
TEST_F(ClipboardTest, ShiftClickDrawsALineWithTheBrushAsOneEdit)
{
    struct Case { EditorMode mode; int brush; Keys shift; sf::Vector2i first, end; Fields expected; const char* undone; };
    const Case cases[] = {
        // Nothing acted on yet: the one field.
        {EditorMode::PaintGround, 1, {K::RShift}, {-1, -1}, {3, 3}, {{3, 3}}, "Undone: line, 1 field"},
        {EditorMode::PaintGround, 1, {K::LShift}, {2, 5}, {6, 7}, {{3, 6}, {4, 6}, {5, 7}, {6, 7}}, "Undone: line, 4 fields"},
        {EditorMode::PaintGround, 2, {K::RShift}, {10, 10}, {12, 10},
         {{11, 9}, {12, 9}, {11, 11}, {12, 11}, {12, 10}, {13, 10}}, "Undone: line, 6 fields"},
        {EditorMode::MarkSolid, 1, {K::RShift}, {20, 20}, {20, 23}, {{20, 21}, {20, 22}, {20, 23}}, "Undone: line, 3 fields"},
    };
    const auto marked = [](const Field& f) { return f.groundType() == 2 || f.solid(); };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(&k - cases);
        editor.setChoices({true, k.mode, false, 2, 1, k.brush});
        Fields before;
        if (k.first.x >= 0)
        {
            step(at(k.first.x, k.first.y), {}, true);
            step(at(k.first.x, k.first.y));
            before = where(marked);
        }
        const std::size_t undos = editor.history().undoCount();
        step(at(k.end.x, k.end.y), k.shift, true);
        step(at(k.end.x, k.end.y));
        Fields added;
        for (const auto& field : where(marked))
            if (!before.count(field))
                added.insert(field);
        EXPECT_EQ(added, k.expected);
        EXPECT_EQ(editor.history().undoCount(), undos + 1);
        EXPECT_EQ(tap({K::LControl, K::Z}), k.undone);
        EXPECT_EQ(where(marked), before);
        tap({K::LControl, K::Y});
    }
    // In solid mode Left Shift, the erase key, clears the line.
    step(at(20, 21), {K::LShift}, true);
    step(at(20, 21));
    EXPECT_EQ(where([](const Field& f) { return f.solid(); }), (Fields{{20, 20}}));
}

// The preview shows the clipboard's ground and objects half see-through where
// the paste would put it, and nothing beyond the block or the map.
TEST_F(ClipboardTest, PreviewBlendsTheClipboardOverTheMap)
{
    FieldBlock block(2, 1);
    block.at(0, 0).groundType = 1;
    block.at(1, 0).objectId = 1;
    map.refresh();
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(320, 192));
    const auto drawn = [&](bool preview, sf::Vector2i topLeft) {
        scene.clear(sf::Color::Blue);
        WorldRenderer renderer;
        sf::RectangleShape nothing;
        renderer.draw(scene, map, nothing, 0.f);
        BlockPreview shown;
        if (preview)
            shown.draw(scene, map, block, topLeft);
        scene.display();
        return scene.getTexture().copyToImage();
    };
    const sf::Image plain = drawn(false, {});
    const sf::Image withPreview = drawn(true, {3, 2});
    map.setOrigin(-16.f * 190, 0.f);
    map.refresh();
    const sf::Image plainAtEdge = drawn(false, {});
    const sf::Image previewAtEdge = drawn(true, {199, 0});
    const sf::Color ground = data->fieldTextures[1]->copyToImage().getPixel(8, 8);
    const sf::Color object = data->objectTextures[1]->copyToImage().getPixel(8, 8);
    const auto blend = [](sf::Color over, sf::Color under) {
        const auto mix = [](int a, int b) { return (a * 128 + b * 127) / 255; };
        return sf::Color(sf::Uint8(mix(over.r, under.r)), sf::Uint8(mix(over.g, under.g)), sf::Uint8(mix(over.b, under.b)));
    };
    const auto near = [](sf::Color a, sf::Color b) {
        return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
    };
    EXPECT_TRUE(near(withPreview.getPixel(56, 40), blend(ground, plain.getPixel(56, 40)))) << "ground at (3, 2)";
    EXPECT_TRUE(near(withPreview.getPixel(72, 40), blend(object, plain.getPixel(72, 40)))) << "object at (4, 2)";
    EXPECT_EQ(withPreview.getPixel(88, 40), plain.getPixel(88, 40)) << "beyond the block";
    EXPECT_TRUE(near(previewAtEdge.getPixel(152, 8), blend(ground, plainAtEdge.getPixel(152, 8))));
    EXPECT_EQ(previewAtEdge.getPixel(168, 8), plainAtEdge.getPixel(168, 8)) << "off the map";
}

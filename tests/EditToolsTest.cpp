// Undo and redo keys, fill, rectangle and picking, through the editor's
// update with scripted input.

#include "WorldFixture.h"

#include "editor/Editor.h"
#include "hud/UI.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <functional>
#include <set>

namespace
{
using K = sf::Keyboard;
using Fields = std::set<std::pair<int, int>>; // column, row

Fields block(int c0, int r0, int c1, int r1)
{
    Fields fields;
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r)
            fields.insert({c, r});
    return fields;
}

// The middle of field (c, r) of a map at (0, 0), window pixels at scale 1.
sf::Vector2i at(int c, int r)
{
    return {16 * c + 8, 16 * r + 8};
}

class EditToolsTest : public WorldFixture
{
protected:
    EditToolsTest() { set(EditorMode::PaintGround, 2); }
    void set(EditorMode mode, int ground, int object = 2, bool under = false)
    {
        editor.setChoices({true, mode, under, ground, object, 1});
    }
    // One frame; the message it gave, "" for none.
    std::string step(sf::Vector2i mouse, const Keys& held = {}, bool left = false, bool right = false)
    {
        InputState input = pressing(held);
        input.mousePosition = mouse;
        input.leftButton = left;
        input.rightButton = right;
        const std::string* message = editor.update(input, &map, 1.f, 1.f);
        return message ? *message : "";
    }
    Fields where(const std::function<bool(const Field&)>& has) const
    {
        Fields fields;
        for (int i = 0; i < FieldCount; ++i)
            if (has(map.fields()[std::size_t(i)]))
                fields.insert({i / MapSize, i % MapSize});
        return fields;
    }
    ManualTimeSource time;
    Editor editor{*data, time};
};
} // namespace

TEST_F(EditToolsTest, UndoAndRedoActOncePerPressAndNameTheEdit)
{
    for (int c : {2, 3, 4})
        step(at(c, 2), {}, true); // one stroke
    step(at(4, 2));
    set(EditorMode::PlaceObject, 2);
    step(at(6, 6), {}, true);
    step(at(6, 6), {K::U});

    EXPECT_EQ(step(at(0, 0), {K::LControl, K::Z}), "Undone: objects, 1 field");
    EXPECT_EQ(step(at(0, 0), {K::LControl, K::Z}), "") << "held: once";
    EXPECT_TRUE(editor.choices().underLayer) << "Z under Ctrl keeps the layer";
    step(at(0, 0), {K::LControl});
    EXPECT_EQ(step(at(0, 0), {K::RControl, K::Z}), "Undone: painting, 3 fields");
    step(at(0, 0));
    EXPECT_EQ(step(at(0, 0), {K::LControl, K::Z}), "Nothing to undo");
    EXPECT_EQ(step(at(0, 0), {K::RControl, K::Y}), "Redone: painting, 3 fields");
    EXPECT_EQ(step(at(0, 0), {K::LControl, K::RShift, K::Z}), "Redone: objects, 1 field");
    step(at(0, 0));
    EXPECT_EQ(step(at(0, 0), {K::LControl, K::Y}), "Nothing to redo");

    // Undo within a stroke takes back the stroke so far; the button then
    // waits for its release.
    set(EditorMode::MarkSolid, 2);
    step(at(8, 8), {}, true);
    EXPECT_EQ(step(at(9, 8), {K::LControl, K::Z}, true), "Undone: solid fields, 1 field");
    step(at(10, 8), {}, true);
    step(at(10, 8));
    step(at(11, 8), {}, true);
    EXPECT_EQ(where([](const Field& f) { return f.solid(); }), (Fields{{11, 8}}));
}

TEST_F(EditToolsTest, FillAndRectangleChangeTheirFieldsAsOneEdit)
{
    // Walls of type 1 on diagonals beside two corners, of the ground layer at
    // (0, 0) and of the under layer at (199, 0) (one in each direction, so a
    // fill that leaks through a corner shows); the far corner solid; object 1
    // everywhere.
    for (int i = 0; i < 4; ++i)
    {
        map.paintGround(i, 3 - i, 1, false);
        map.paintGround(196 + i, i, 1, true);
    }
    const Fields nearCorner{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0}};
    const Fields farCorner{{197, 0}, {198, 0}, {198, 1}, {199, 0}, {199, 1}, {199, 2}};
    for (int i = 0; i < FieldCount; ++i)
    {
        map.setObject(i / MapSize, i % MapSize, 1);
        map.setSolid(i / MapSize, i % MapSize, farCorner.count({i / MapSize, i % MapSize}) > 0);
    }
    Fields bothCorners = nearCorner;
    bothCorners.insert(farCorner.begin(), farCorner.end());
    const auto ground2 = [](const Field& f) { return f.groundType() == 2; };
    const auto solid = [](const Field& f) { return f.solid(); };
    struct Case
    {
        EditorMode mode;
        bool under, shift;
        std::vector<sf::Vector2i> mouse; // one: F there; more: a right-button drag from the first to the last
        std::function<bool(const Field&)> shows;
        Fields fields;
        const char* undone;
        int ground = 2; // the chosen ground type
    };
    const Case cases[] = {
        {EditorMode::PaintGround, false, false, {at(0, 0)}, ground2, nearCorner, "fill, 6 fields"},
        {EditorMode::PaintGround, true, false, {at(199, 0)}, [](const Field& f) { return f.underType() == 2; },
         farCorner, "fill, 6 fields"},
        {EditorMode::MarkSolid, false, false, {at(1, 1)}, solid, bothCorners, "fill, 6 fields"},
        {EditorMode::PaintGround, true, false, {at(0, 0)}, [](const Field& f) { return f.underType() == 5; }, farCorner,
         "fill, 39,990 fields"}, // through the ground layer's wall, up to the under layer's
        {EditorMode::MarkSolid, true, true, {at(198, 0)}, solid, {}, "fill, 6 fields"},
        // The chosen ground type is the region's own: marking does not care.
        {EditorMode::MarkSolid, false, false, {at(1, 1)}, solid, bothCorners, "fill, 6 fields", 5},
        {EditorMode::PlaceObject, false, false, {at(0, 0)}, solid, farCorner, nullptr},
        {EditorMode::PaintGround, false, false, {at(5, 5), at(3, 4), at(2, 3), at(2, 3)}, ground2, block(2, 3, 5, 5),
         "rectangle, 12 fields"},
        {EditorMode::PaintGround, false, false, {at(1, 1), at(0, 1), {-20, 24}, {-20, -20}}, ground2,
         block(0, 1, 1, 1), "rectangle, 2 fields"},
        {EditorMode::PaintGround, false, false, {at(3, 2), at(3, 0), {56, -30}}, ground2, block(3, 0, 3, 2),
         "rectangle, 3 fields"},
        {EditorMode::MarkSolid, false, true, {at(196, 3), at(199, 0), {3300, -30}}, solid, {},
         "rectangle, 6 fields"},
        {EditorMode::PlaceObject, false, false, {at(10, 10), at(15, 16)}, [](const Field& f) { return f.objectId() == 2; },
         {{10, 10}, {10, 13}, {10, 16}, {12, 10}, {12, 13}, {12, 16}, {14, 10}, {14, 13}, {14, 16}}, // the 2 x 3 tree
         "rectangle, 9 fields"},
        {EditorMode::PlaceObject, false, true, {at(20, 20), at(18, 21)},
         [](const Field& f) { return f.objectId() == 0; }, block(18, 20, 20, 21), "rectangle, 6 fields"},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(&k - cases);
        set(k.mode, k.ground, 2, k.under);
        const Fields before = where(k.shows);
        const Keys held = k.shift ? Keys{K::LShift} : Keys{};
        if (k.mouse.size() == 1)
        {
            Keys fill = held;
            fill.push_back(K::F);
            step(k.mouse[0], fill);
            step(k.mouse[0], fill); // held: once
        }
        else
        {
            for (const sf::Vector2i& point : k.mouse)
                step(point, held, false, true);
            EXPECT_EQ(where(k.shows), before) << "nothing before the release";
            step(k.mouse.back(), held);
        }
        EXPECT_EQ(where(k.shows), k.fields);
        EXPECT_EQ(step(at(0, 0), {K::LControl, K::Z}), k.undone ? "Undone: " + std::string(k.undone) : "Nothing to undo");
        EXPECT_EQ(where(k.shows), before);
        step(at(0, 0));
    }
}

TEST_F(EditToolsTest, PickingTakesWhatTheFieldHoldsAndTheMarkerFollows)
{
    map.paintGround(3, 3, 7, true); // past the types the number keys reach
    map.paintGround(3, 3, 4, false);
    map.setObject(4, 4, 2);
    struct Case { EditorMode mode; bool under, middle; int column, ground, object; };
    const Case cases[] = {
        {EditorMode::PaintGround, false, false, 3, 4, 1}, {EditorMode::PaintGround, true, true, 3, 7, 1},
        {EditorMode::PlaceObject, false, false, 4, 0, 2}, {EditorMode::PlaceObject, false, true, 5, 0, 0},
        {EditorMode::MarkSolid, false, false, 3, 0, 1},
    };
    UI ui(data.get(), {1080, 720}, 3.375f, 3.75f, time);
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(320, 192));
    for (const Case& k : cases)
    {
        SCOPED_TRACE(&k - cases);
        set(k.mode, 0, 1, k.under);
        for (int c : {k.column, 10}) // held over another field: no second pick
        {
            InputState input = pressing(k.middle ? Keys{} : Keys{K::Q});
            input.mousePosition = at(c, c);
            input.middleButton = k.middle;
            editor.update(input, &map, 1.f, 1.f);
            EXPECT_TRUE(editor.choices().selectedGround == k.ground && editor.choices().selectedObject == k.object);
        }
        step(at(0, 0));
        // Type 7 is loaded, so its own slot holds it and the marker.
        ui.update(editor.choices());
        ui.draw(scene, editor.choices());
        scene.display();
        const sf::Image image = scene.getTexture().copyToImage();
        int markerPixels = 0;
        for (unsigned x = 0; x < 100; ++x)
            markerPixels += image.getPixel(x, 9) == uiPixel(16, 0);
        EXPECT_EQ(markerPixels, 8);
    }
}

// Undo and redo keys, fill, rectangle and picking, through the editor's
// update with scripted input, and in the whole game.

#include "WorldFixture.h"

#include "editor/Editor.h"
#include "hud/UI.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <functional>
#include <set>
#include <utility>

namespace
{
using Cell = std::pair<int, int>; // column, row
using K = sf::Keyboard;

// The fields from (c0, r0) to (c1, r1), both included.
std::set<Cell> block(int c0, int r0, int c1, int r1)
{
    std::set<Cell> cells;
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r)
            cells.insert({c, r});
    return cells;
}

class EditToolsTest : public WorldFixture
{
protected:
    EditToolsTest() { choose([](EditorChoices& c) { c.active = true; }); }

    void choose(const std::function<void(EditorChoices&)>& change)
    {
        EditorChoices choices = editor.choices();
        change(choices);
        editor.setChoices(choices);
    }
    // Held keys with the mouse at window pixel (x, y), scale 1.
    static InputState mouse(int x, int y, const Keys& held = {})
    {
        InputState input = pressing(held);
        input.mousePosition = {x, y};
        return input;
    }
    // The mouse over the middle of field (c, r) of a map at (0, 0).
    static InputState over(int c, int r, const Keys& held = {}) { return mouse(16 * c + 8, 16 * r + 8, held); }
    static InputState left(InputState input)
    {
        input.leftButton = true;
        return input;
    }
    static InputState right(InputState input)
    {
        input.rightButton = true;
        return input;
    }
    // One frame; the message it gave, "" for none.
    std::string step(const InputState& input)
    {
        const std::string* message = editor.update(input, &map, 1.f, 1.f);
        return message ? *message : "";
    }
    std::set<Cell> fieldsWhere(const std::function<bool(const Field&)>& has) const
    {
        std::set<Cell> cells;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                if (has(map.at(c, r)))
                    cells.insert({c, r});
        return cells;
    }

    ManualTimeSource time;
    Editor editor{data.get(), time};
};
} // namespace

TEST_F(EditToolsTest, UndoAndRedoKeysActOncePerPressAndNameTheEdit)
{
    choose([](EditorChoices& c) { c.selectedGround = 2; });
    // One stroke over three frames, then objects: two edits.
    for (int c : {2, 3, 4})
        step(left(over(c, 2)));
    step(over(4, 2, {K::U})); // released; the under layer for later
    choose([](EditorChoices& c) { c.mode = EditorMode::PlaceObject; c.selectedObject = 1; });
    step(left(over(6, 6)));
    step(over(6, 6));

    EXPECT_EQ(step(over(0, 0, {K::LControl, K::Z})), "Undone: objects, 1 field");
    EXPECT_EQ(step(over(0, 0, {K::LControl, K::Z})), "") << "held: no second undo";
    EXPECT_EQ(map.at(6, 6).object.id(), 0);
    EXPECT_EQ(map.at(4, 2).groundType, 2);
    EXPECT_TRUE(editor.choices().underLayer) << "Z under Ctrl keeps the layer";
    step(over(0, 0, {K::LControl}));
    EXPECT_EQ(step(over(0, 0, {K::RControl, K::Z})), "Undone: painting, 3 fields");
    EXPECT_EQ(fieldsWhere([](const Field& f) { return f.groundType != DefaultGroundType; }), std::set<Cell>{});
    step(over(0, 0));
    EXPECT_EQ(step(over(0, 0, {K::LControl, K::Z})), "Nothing to undo");

    step(over(0, 0));
    EXPECT_EQ(step(over(0, 0, {K::RControl, K::Y})), "Redone: painting, 3 fields");
    EXPECT_EQ(step(over(0, 0, {K::LControl, K::RShift, K::Z})), "Redone: objects, 1 field");
    EXPECT_EQ(map.at(6, 6).object.id(), 1);
    step(over(0, 0));
    EXPECT_EQ(step(over(0, 0, {K::LControl, K::Y})), "Nothing to redo");
    step(over(0, 0, {K::Z}));
    EXPECT_FALSE(editor.choices().underLayer) << "Z alone still picks the ground layer";

    // Undo in the middle of a stroke takes back the stroke so far; the
    // button then waits for its release.
    choose([](EditorChoices& c) { c.mode = EditorMode::MarkSolid; });
    step(left(over(8, 8)));
    EXPECT_EQ(step(left(over(9, 8, {K::LControl, K::Z}))), "Undone: solid fields, 1 field");
    step(left(over(10, 8)));
    step(over(10, 8));
    step(left(over(11, 8)));
    EXPECT_EQ(fieldsWhere([](const Field& f) { return f.solid; }), (std::set<Cell>{{11, 8}}));
}

TEST_F(EditToolsTest, FillTakesTheJoinedRegionOfTheActiveLayer)
{
    // A wall of ground type 1 on the diagonal c + r = k, k fields long,
    // next to the corner (0, 0) or (199, 199).
    const auto wall = [](FieldMap& m, bool underLayer, bool farCorner) {
        for (int k = 0; k <= 3; ++k)
            m.paintGround(farCorner ? 196 + k : k, farCorner ? 199 - k : 3 - k, 1, underLayer);
    };
    const auto nearCorner = [](int c, int r) { return c + r < 3; };
    const auto farCorner = [](int c, int r) { return c + r > 395; };
    const auto everywhere = [](int, int) { return true; };
    const auto nowhere = [](int, int) { return false; };
    struct Case
    {
        const char* name;
        EditorMode mode;
        bool wallUnder, fillUnder, shift, allSolid;
        int selected;
        Cell start;
        std::function<bool(int, int)> changes;
    };
    const Case cases[] = {
        {"4 neighbours only, from the corner", EditorMode::PaintGround, false, false, false, false, 2, {0, 0}, nearCorner},
        {"the under layer has no wall", EditorMode::PaintGround, false, true, false, false, 2, {0, 0}, everywhere},
        {"a wall on the under layer", EditorMode::PaintGround, true, true, false, false, 2, {199, 199}, farCorner},
        {"solid mode marks the region", EditorMode::MarkSolid, false, false, false, false, 2, {1, 1}, nearCorner},
        {"LShift clears it", EditorMode::MarkSolid, true, true, true, true, 2, {198, 199}, farCorner},
        {"object mode does nothing", EditorMode::PlaceObject, false, false, false, false, 2, {0, 0}, nowhere},
        {"the selected type already", EditorMode::PaintGround, false, false, false, false, 1, {2, 1}, nowhere},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.name);
        const bool far = k.start.first > 100;
        FieldMap fresh(data.get());
        wall(fresh, k.wallUnder, far);
        if (k.allSolid)
            for (int c = 0; c < MapSize; ++c)
                for (int r = 0; r < MapSize; ++r)
                    fresh.setSolid(c, r, true);
        choose([&](EditorChoices& c) { c.mode = k.mode; c.underLayer = k.fillUnder; c.selectedGround = k.selected; });
        std::vector<FieldValues> before;
        for (const Field& f : fresh.fields())
            before.push_back(f.values());
        Keys held{K::F};
        if (k.shift)
            held.push_back(K::LShift);
        const InputState press = over(k.start.first, k.start.second, held);
        editor.update(press, &fresh, 1.f, 1.f);
        editor.update(press, &fresh, 1.f, 1.f); // held: once per press

        std::set<Cell> changed, expected;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
            {
                const FieldValues now = fresh.at(c, r).values();
                const FieldValues& was = before[std::size_t(FieldMap::index(c, r))];
                if (now != was)
                    changed.insert({c, r});
                if (k.changes(c, r))
                    expected.insert({c, r});
                // Nothing but the chosen layer or the solid flag changes.
                const FieldValues wanted = k.mode != EditorMode::PaintGround || !k.changes(c, r) ? was
                                           : k.fillUnder ? FieldValues{was.groundType, 2, was.objectId, was.solid}
                                                         : FieldValues{2, was.underType, was.objectId, was.solid};
                if (k.mode == EditorMode::PaintGround)
                    ASSERT_EQ(now, wanted) << c << ", " << r;
                else
                    ASSERT_EQ(now.solid, k.changes(c, r) ? !k.shift : was.solid) << c << ", " << r;
            }
        EXPECT_EQ(changed.size(), expected.size());

        // Painted like the brush paints: marked, so the pieces follow as theirs would.
        if (k.mode == EditorMode::PaintGround && !changed.empty())
        {
            FieldMap painted(data.get());
            wall(painted, k.wallUnder, far);
            for (const Cell& cell : changed)
                painted.paintGround(cell.first, cell.second, 2, k.fillUnder);
            for (FieldMap* m : {&fresh, &painted})
                m->setOrigin(far ? -2900.f : 0.f, far ? -3000.f : 0.f);
            fresh.refresh();
            painted.refresh();
            for (std::size_t i = 0; i < fresh.fields().size(); ++i)
                ASSERT_EQ(fresh.fields()[i].groundSprite.getTextureRect(),
                          painted.fields()[i].groundSprite.getTextureRect()) << i;
        }
        const std::string* undone = editor.update(over(0, 0, {K::LControl, K::Z}), &fresh, 1.f, 1.f);
        ASSERT_TRUE(undone);
        const std::string count = changed.size() == 40000 ? "40,000" : std::to_string(changed.size());
        EXPECT_EQ(*undone, changed.empty() ? "Nothing to undo" : "Undone: fill, " + count + " fields");
        editor.update(over(0, 0), &fresh, 1.f, 1.f);
    }
}

TEST_F(EditToolsTest, RectangleAppliesTheModeToItsFieldsOnRelease)
{
    // Placed on every field of the rectangle before the drag (removal and
    // clearing cases): objects 1 and the solid flag.
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
        {
            map.setObject(c, r, 1);
            map.setSolid(c, r, true);
        }
    const auto ground2 = [](const Field& f) { return f.groundType == 2; };
    const auto tree = [](const Field& f) { return f.object.id() == 2; };
    const auto noObject = [](const Field& f) { return f.object.id() == 0; };
    const auto clear = [](const Field& f) { return !f.solid; };
    struct Case
    {
        const char* name;
        EditorMode mode;
        bool shift;
        std::vector<sf::Vector2i> path; // window pixels: press, moves, release
        std::function<bool(const Field&)> shows;
        std::set<Cell> fields;
    };
    const auto at = [](int c, int r) { return sf::Vector2i(16 * c + 8, 16 * r + 8); };
    std::set<Cell> lattice; // the 2 x 3 tree's footprint steps from (10, 10)
    for (int c : {10, 12, 14})
        for (int r : {10, 13, 16})
            lattice.insert({c, r});
    const Case cases[] = {
        {"dragged up and left", EditorMode::PaintGround, false, {at(5, 5), at(3, 4), at(2, 3), at(2, 3)}, ground2,
         block(2, 3, 5, 5)},
        {"left edge: the last field hit", EditorMode::PaintGround, false, {at(1, 1), at(0, 1), {-20, 24}, {-20, -20}},
         ground2, block(0, 1, 1, 1)},
        {"top edge", EditorMode::PaintGround, false, {at(3, 2), at(3, 0), {56, -30}}, ground2, block(3, 0, 3, 2)},
        {"right and bottom edges", EditorMode::PaintGround, false, {at(197, 196), at(199, 199), {3300, 3300}},
         ground2, block(197, 196, 199, 199)},
        {"LShift clears solid fields", EditorMode::MarkSolid, true, {at(4, 4), at(6, 5)}, clear, block(4, 4, 6, 5)},
        {"objects in steps of their footprint", EditorMode::PlaceObject, false, {at(10, 10), at(15, 16)}, tree,
         lattice},
        {"LShift removes objects", EditorMode::PlaceObject, true, {at(20, 20), at(18, 21)}, noObject,
         block(18, 20, 20, 21)},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.name);
        choose([&](EditorChoices& c) { c.mode = k.mode; c.selectedGround = 2; c.selectedObject = 2; });
        const Keys held = k.shift ? Keys{K::LShift} : Keys{};
        for (const sf::Vector2i& point : k.path)
        {
            step(right(mouse(point.x, point.y, held)));
            EXPECT_EQ(fieldsWhere(k.shows), std::set<Cell>{}) << "nothing before the release";
        }
        EXPECT_EQ(step(mouse(k.path.back().x, k.path.back().y, held)), "");
        EXPECT_EQ(fieldsWhere(k.shows), k.fields);
        EXPECT_FALSE(editor.rectangleOutline());
        // One edit.
        EXPECT_EQ(step(mouse(0, 0, {K::LControl, K::Z})), "Undone: rectangle, " + std::to_string(k.fields.size()) +
                                                               (k.fields.size() == 1 ? " field" : " fields"));
        EXPECT_EQ(fieldsWhere(k.shows), std::set<Cell>{});
        step(mouse(0, 0));
    }

    // The outline while dragging, in scene pixels; the left button cancels
    // and then does nothing until it is released.
    choose([](EditorChoices& c) { c.mode = EditorMode::PaintGround; });
    step(right(over(5, 5)));
    step(right(over(2, 3)));
    EXPECT_EQ(editor.rectangleOutline(), sf::IntRect(32, 48, 64, 48));
    step(left(right(over(2, 3))));
    EXPECT_FALSE(editor.rectangleOutline());
    step(left(over(8, 8)));
    step(over(8, 8));
    EXPECT_EQ(fieldsWhere(ground2), std::set<Cell>{});
}

TEST_F(EditToolsTest, PickingSelectsWhatTheFieldHoldsOnThePressOnly)
{
    map.paintGround(3, 3, 7, true); // past the six types the number keys reach
    map.paintGround(3, 3, 4, false);
    map.setObject(4, 4, 2);
    struct Case
    {
        EditorMode mode;
        bool underLayer;
        bool middle; // else Q
        Cell field;
        int ground, object; // selected after the pick
    };
    const Case cases[] = {
        {EditorMode::PaintGround, false, false, {3, 3}, 4, 1},
        {EditorMode::PaintGround, true, true, {3, 3}, 7, 1},
        {EditorMode::PlaceObject, true, false, {4, 4}, 0, 2},
        {EditorMode::PlaceObject, false, true, {5, 5}, 0, 0},
        {EditorMode::MarkSolid, false, false, {3, 3}, 0, 1},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(&k - cases);
        choose([&](EditorChoices& c) { c.mode = k.mode; c.underLayer = k.underLayer; c.selectedGround = 0; c.selectedObject = 1; });
        InputState press = over(k.field.first, k.field.second, k.middle ? Keys{} : Keys{K::Q});
        press.middleButton = k.middle;
        step(press);
        EXPECT_EQ(editor.choices().selectedGround, k.ground);
        EXPECT_EQ(editor.choices().selectedObject, k.object);
        // Held over another field: no second pick.
        InputState held = over(10, 10, k.middle ? Keys{} : Keys{K::Q});
        held.middleButton = k.middle;
        step(held);
        EXPECT_EQ(editor.choices().selectedGround, k.ground);
        EXPECT_EQ(editor.choices().selectedObject, k.object);
        step(over(10, 10));
    }

    // A picked type past the palette hides the marker rather than putting it
    // over another slot.
    UI ui(data.get(), {1080, 720}, 3.375f, 3.75f, time);
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(320, 192));
    for (int ground : {5, 7})
    {
        choose([&](EditorChoices& c) { c.selectedGround = ground; });
        ui.update(editor.choices());
        scene.clear();
        ui.draw(scene, editor.choices());
        scene.display();
        const sf::Image image = scene.getTexture().copyToImage();
        int markerPixels = 0;
        for (unsigned x = 0; x < 100; ++x)
            markerPixels += image.getPixel(x, 9) == uiCellColor(16, 0);
        EXPECT_EQ(markerPixels, ground == 5 ? 8 : 0) << ground;
    }
}

namespace
{
class EditToolsInGame : public GameFixture
{
protected:
    // One frame after 17 ms with `held` keys and the mouse over field (c, r).
    void frame(const Keys& held, int c = 5, int r = 5, bool leftButton = false, bool rightButton = false)
    {
        time.advance(sf::milliseconds(17));
        InputState input = pressing(held);
        const sf::Vector2f origin = game.map().origin(), scale = game.sceneScale();
        input.mousePosition = {int((origin.x + 16.f * float(c) + 8.f) * scale.x),
                               int((origin.y + 16.f * float(r) + 8.f) * scale.y)};
        input.leftButton = leftButton;
        input.rightButton = rightButton;
        game.frame(&input);
    }
    std::string shown() const { return game.hud().messageText().getString().toAnsiString(); }
};
} // namespace

TEST_F(EditToolsInGame, EditsNearTheMapsEdgeUndoLoadsAndShowTheRectangle)
{
    // Walked left half a second: the map's origin lies right of the scene's
    // corner, and its first column is under the mouse all the same.
    for (int i = 0; i < 31; ++i)
        frame({K::A});
    ASSERT_EQ(game.map().origin(), sf::Vector2f(31, 0));
    frame({K::E, K::Num3}, 0, 3, true);
    frame({}, 0, 3);
    ASSERT_EQ(game.map().at(0, 3).groundType, 2);
    frame({K::LControl, K::Z});
    EXPECT_EQ(shown(), "Undone: painting, 1 field");
    EXPECT_EQ(game.map().at(0, 3).groundType, DefaultGroundType);

    // The outline over the dragged fields, in the scene.
    frame({}, 12, 9, false, true);
    frame({}, 10, 8, false, true);
    const sf::Image scene = game.sceneImage();
    EXPECT_EQ(scene.getPixel(31 + 160, 128), sf::Color::White);
    EXPECT_EQ(scene.getPixel(31 + 208 - 1, 160 - 1), sf::Color::White);
    EXPECT_NE(scene.getPixel(31 + 168, 136), sf::Color::White);
    frame({}, 10, 8, true, true); // cancelled
    frame({});

    // A load is one edit, the origin included.
    TempDir files;
    game.setFileChooser([&](FileDialogPurpose) { return files.file("saved.map"); });
    const sf::Vector2f origin = game.map().origin();
    map.setOrigin(-64, -48);
    map.setSolid(9, 9, true);
    frame({K::F5});
    map.setOrigin(origin.x, origin.y);
    map.setSolid(9, 9, false);
    frame({K::F10});
    ASSERT_TRUE(game.map().at(9, 9).solid);
    frame({});
    frame({K::LControl, K::Z});
    EXPECT_EQ(shown(), "Undone: map load, 1 field");
    EXPECT_FALSE(game.map().at(9, 9).solid);
    EXPECT_EQ(game.map().origin(), origin);
    frame({});
    frame({K::LControl, K::Y});
    EXPECT_EQ(game.map().origin(), sf::Vector2f(-64, -48));
}

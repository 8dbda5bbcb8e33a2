// What lies over the scene: the content picker, the map overview and its
// travelling, and what the player can stand on.

#include "WorldFixture.h"

#include "player/Player.h"

#include <SFML/Graphics/Texture.hpp>

#include <cmath>

namespace
{
using K = sf::Keyboard;

class OverlaysTest : public GameFixture
{
protected:
    // One frame with `held` keys, the mouse at window pixel `at`, the left
    // button down when `click`, `wheel` notches turned.
    void frame(const Keys& held, sf::Vector2f at = {}, bool click = false, float wheel = 0.f)
    {
        time.advance(sf::milliseconds(201));
        InputState input = pressing(held);
        input.mousePosition = {int(std::lround(at.x)), int(std::lround(at.y))};
        input.leftButton = click;
        input.wheelNotches = wheel;
        game.frame(&input);
    }
    void click(sf::Vector2f at)
    {
        frame({}, at, true);
        frame({}, at);
    }
};
} // namespace

TEST_F(OverlaysTest, PickerChoosesWithAClickAndLeavesTheMapAlone)
{
    frame({K::E});
    frame({K::Tab});
    ASSERT_TRUE(game.picker().isOpen());
    const std::uint64_t revision = game.map().revision();
    // A click on ground type 7 chooses it for painting and closes the picker;
    // the button held on does not paint the field under it.
    const sf::Vector2f ground7 = game.picker().cellCentre({PickerEntry::Kind::Ground, 7});
    frame({}, ground7, true);
    frame({}, ground7, true);
    EXPECT_FALSE(game.picker().isOpen());
    EXPECT_TRUE(game.editor().choices().selectedGround == 7 && game.editor().choices().mode == EditorMode::PaintGround);
    frame({K::Tab});
    const sf::Vector2f object2 = game.picker().cellCentre({PickerEntry::Kind::Object, 2});
    frame({}, object2, false, -3.f); // the wheel scrolls the picker (here: nowhere to go), not the choice
    click(object2);
    EXPECT_TRUE(game.editor().choices().selectedObject == 2 && game.editor().choices().mode == EditorMode::PlaceObject);
    // A click outside the panel only closes it; Tab closes it too.
    frame({K::Tab});
    click({5, 5});
    EXPECT_FALSE(game.picker().isOpen());
    frame({K::Tab});
    frame({});
    frame({K::Tab});
    EXPECT_FALSE(game.picker().isOpen());
    EXPECT_EQ(game.map().revision(), revision) << "nothing painted or placed through the picker";
    EXPECT_EQ(game.editor().choices().selectedObject, 2);
}

TEST_F(OverlaysTest, FieldReadoutFollowsTheFieldUnderTheCursorAndItsEdits)
{
    const auto readout = [&] { return game.guides().readout().getString().toAnsiString(); };
    const sf::Vector2f field6x6 = {104 * game.sceneScale().x, 104 * game.sceneScale().y};
    frame({K::E}, field6x6);
    EXPECT_EQ(readout(), "Field 6, 6  ground 5  under 5  object 0  solid no");
    for (auto edit : {+[](FieldMap& m) { m.paintGround(6, 6, 3, false); }, +[](FieldMap& m) { m.setObject(6, 6, 1); },
                      +[](FieldMap& m) { m.setSolid(6, 6, true); }, +[](FieldMap& m) { m.paintGround(6, 6, 2, true); }})
    {
        const std::string before = readout();
        edit(map);
        frame({}, field6x6);
        EXPECT_NE(readout(), before);
    }
    EXPECT_EQ(readout(), "Field 6, 6  ground 3  under 2  object 1  solid yes");
}

TEST(ContentPicker, ManyEntriesScrollWithTheWheel)
{
    // 20 ground types (2 rows of 14) and 150 objects (11 rows): 13 rows, 9 shown.
    const TestContent dir(TestContentOptions{20, 150, 150});
    std::ostringstream console;
    const GameData data(dir.path(), &console);
    ContentPicker picker(&data, {1080, 720});
    picker.setOpen(true);
    const sf::Vector2f firstCell = picker.cellCentre({PickerEntry::Kind::Ground, 0});
    EXPECT_EQ(picker.entryAt(firstCell), (PickerEntry{PickerEntry::Kind::Ground, 0}));
    picker.scroll(-2.f); // toward the user: on down the list
    EXPECT_EQ(picker.entryAt(firstCell), (PickerEntry{PickerEntry::Kind::Object, 0}));
    picker.scroll(-100.f);
    EXPECT_EQ(picker.firstRow(), 4);
    EXPECT_EQ(picker.entryAt(firstCell), (PickerEntry{PickerEntry::Kind::Object, 28}));
    // The last row holds objects 140..149: a cell past 149 is no entry.
    const sf::Vector2f last = picker.cellCentre({PickerEntry::Kind::Object, 149});
    EXPECT_EQ(picker.entryAt(last), (PickerEntry{PickerEntry::Kind::Object, 149}));
    EXPECT_FALSE(picker.entryAt(last + sf::Vector2f(PickerCellSize + PickerCellGap, 0)));
    picker.scroll(100.f);
    EXPECT_EQ(picker.firstRow(), 0);
}

TEST_F(OverlaysTest, OverviewShowsEveryChangeInTheColoursOfItsFields)
{
    frame({K::M});
    ASSERT_TRUE(game.overview().shown());
    EXPECT_EQ(game.overview().pixel(0, 0), fieldPieceColor(5, 64, 64)) << "the mean of the palette tile";
    map.paintGround(3, 4, 2, false);
    map.paintGround(3, 4, 7, true); // the under layer does not show
    map.setSolid(5, 6, true);
    map.setObject(7, 8, 1);
    frame({});
    const sf::Color grass = fieldPieceColor(5, 64, 64);
    const auto dark = [](int v) { return sf::Uint8((v * OverviewSolidPercent + 50) / 100); };
    EXPECT_EQ(game.overview().pixel(3, 4), fieldPieceColor(2, 64, 64));
    EXPECT_EQ(game.overview().pixel(5, 6), sf::Color(dark(grass.r), dark(grass.g), dark(grass.b)));
    EXPECT_EQ(game.overview().pixel(7, 8), OverviewObjectColor);
    // And the window shows them.
    sf::Texture shown;
    ASSERT_TRUE(shown.create(1080, 720));
    shown.update(game.window());
    const sf::Image window = shown.copyToImage();
    const sf::FloatRect area = game.overview().bounds();
    for (const sf::Vector2u field : {sf::Vector2u(3, 4), sf::Vector2u(5, 6), sf::Vector2u(7, 8)})
        EXPECT_EQ(window.getPixel(unsigned(area.left) + field.x, unsigned(area.top) + field.y),
                  game.overview().pixel(int(field.x), int(field.y)));
    // Hidden, it watches nothing; shown again, it is whole again.
    frame({K::M});
    map.setObject(7, 8, 0);
    frame({});
    frame({K::M});
    EXPECT_EQ(game.overview().pixel(7, 8), grass);
}

TEST_F(OverlaysTest, AClickOnTheOverviewPutsThePlayerOnTheNearestFreeField)
{
    // Field (50, 60) solid, (49, 60) under an object's box; (51, 60) is as
    // near as (50, 59) and (50, 61), and the lower row comes first.
    map.setSolid(50, 60, true);
    map.setObject(49, 60, 1);
    frame({K::M, K::E});
    const sf::FloatRect overview = game.overview().bounds();
    click({overview.left + 20.25f, overview.top + 30.25f});
    EXPECT_EQ(game.player().standingField(), sf::Vector2i(20, 30)) << "a free field: right there";
    EXPECT_EQ(game.map().origin(), game.player().originStandingOn(20, 30));
    click({overview.left + 50.25f, overview.top + 60.25f});
    EXPECT_EQ(game.player().standingField(), sf::Vector2i(50, 59));
    EXPECT_FALSE(game.player().collides(game.map()));
    EXPECT_EQ(game.map().at(50, 59).values(), FieldValues{}) << "the click edits nothing";
}

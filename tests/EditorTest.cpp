#include "WorldFixture.h"

#include "editor/Editor.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

namespace
{
using Cell = std::pair<int, int>; // column, row

// Held keys and the left button over window pixel (mx, my).
InputState click(int mx, int my, const Keys& held = {})
{
    InputState input = pressing(held);
    input.mousePosition = {mx, my};
    input.leftButton = true;
    return input;
}

// Sets one of the editor's choices as its keys would.
template <typename T>
void choose(Editor& editor, T EditorChoices::*choice, T value)
{
    EditorChoices choices = editor.choices();
    choices.*choice = value;
    editor.setChoices(choices);
}

class EditorTest : public WorldFixture
{
protected:
    // Moves the clock on and runs one frame at scene scale `scale`.
    void frame(const InputState& input, int advanceMs = 0, float scale = 1.f)
    {
        time.advance(sf::milliseconds(advanceMs));
        editor.update(input, &map, scale, scale);
    }

    // Fields where `has` holds.
    template <typename Predicate>
    std::set<Cell> fieldsWhere(Predicate has) const
    {
        std::set<Cell> result;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                if (has(map.at(c, r)))
                    result.insert({c, r});
        return result;
    }
    std::set<Cell> solidFields() const { return fieldsWhere([](const Field& f) { return f.solid; }); }

    ManualTimeSource time;
    Editor editor{data.get(), time};
};
} // namespace

TEST_F(EditorTest, ToggleNeedsMoreThan200WholeMillisecondsAndKeepsTheChoices)
{
    frame(pressing({sf::Keyboard::E}), 200);
    EXPECT_FALSE(editor.active()) << "200 ms is not enough";
    frame(pressing({sf::Keyboard::E, sf::Keyboard::U, sf::Keyboard::I, sf::Keyboard::Num5}), 1);
    EXPECT_TRUE(editor.active()) << "201 ms toggles";
    frame(pressing({sf::Keyboard::E}), 200);
    EXPECT_TRUE(editor.active()) << "held E waits again from the toggle";
    frame(pressing({sf::Keyboard::E}), 1);
    EXPECT_FALSE(editor.active()) << "held E toggles again after 201 ms";
    // The clock restarts only on a toggle: a long pause lets the next press act at once.
    frame(pressing({}), 5000);
    frame(pressing({sf::Keyboard::E}), 0);
    EXPECT_TRUE(editor.active());
    EXPECT_TRUE(editor.choices().underLayer && editor.choices().mode == EditorMode::MarkSolid && editor.choices().selectedGround == 4);
}

TEST_F(EditorTest, InactiveEditorIgnoresKeysAndMouse)
{
    frame(click(40, 40, {sf::Keyboard::I, sf::Keyboard::U, sf::Keyboard::Num4, sf::Keyboard::Add}), 500);
    EXPECT_FALSE(editor.active());
    EXPECT_TRUE(editor.choices().mode == EditorMode::PaintGround && !editor.choices().underLayer && editor.choices().selectedGround == 0);
    EXPECT_EQ(editor.choices().brushSize, 1);
    EXPECT_EQ(editor.cursor().getPosition(), sf::Vector2f(0, 0));
    EXPECT_TRUE(fieldsWhere([](const Field& f) { return f.groundType != 5; }).empty());

    // The frame that switches the editor on already acts.
    frame(click(40, 24, {sf::Keyboard::E, sf::Keyboard::Num3}), 0);
    EXPECT_EQ(editor.cursor().getPosition(), sf::Vector2f(32, 16));
    EXPECT_EQ(fieldsWhere([](const Field& f) { return f.groundType == 2; }), (std::set<Cell>{{2, 1}}));
}

TEST_F(EditorTest, LaterKeyOfAKindWins)
{
    struct Case { Keys held; bool underLayer; EditorMode mode; int ground; };
    const Case cases[] = {
        {{sf::Keyboard::U}, true, EditorMode::PaintGround, 0},
        {{sf::Keyboard::U, sf::Keyboard::Z}, false, EditorMode::PaintGround, 0},
        {{sf::Keyboard::P}, false, EditorMode::PlaceObject, 0},
        {{sf::Keyboard::P, sf::Keyboard::O}, false, EditorMode::PaintGround, 0},
        {{sf::Keyboard::O, sf::Keyboard::I}, false, EditorMode::MarkSolid, 0}, // I comes after O in the key order
        {{sf::Keyboard::P, sf::Keyboard::I}, false, EditorMode::MarkSolid, 0},
        {{sf::Keyboard::Num1, sf::Keyboard::Num6}, false, EditorMode::PaintGround, 5},
        {{sf::Keyboard::Num4, sf::Keyboard::Num2}, false, EditorMode::PaintGround, 3},
    };
    for (const Case& c : cases)
    {
        Editor fresh(data.get(), time);
        choose(fresh, &EditorChoices::active, true);
        fresh.update(pressing(c.held), &map, 1.f, 1.f);
        EXPECT_EQ(fresh.choices().underLayer, c.underLayer) << "case " << (&c - cases);
        EXPECT_EQ(fresh.choices().mode, c.mode) << "case " << (&c - cases);
        EXPECT_EQ(fresh.choices().selectedGround, c.ground) << "case " << (&c - cases);
    }
}

TEST_F(EditorTest, StepKeysShareOneClock)
{
    struct Step { int advanceMs; Keys held; int brushSize, selectedObject; };
    struct Case { const char* name; int startBrush, startObject; std::vector<Step> steps; };
    using K = sf::Keyboard;
    const std::vector<Case> cases = {
        {"K then Add within 200 ms: the Add waits", 1, 0,
         {{201, {K::K}, 1, 1}, {150, {K::Add}, 1, 1}, {50, {K::Add}, 1, 1}, {1, {K::Add}, 2, 1}}},
        {"Add at 4 does not restart the clock", 4, 0,
         {{201, {K::K}, 4, 1}, {201, {K::Add}, 4, 1}, {0, {K::K}, 4, 2}}},
        {"K at 2 and L at 0 change nothing", 1, 2,
         {{201, {K::K}, 1, 2}, {0, {K::L}, 1, 1}, {201, {K::L}, 1, 0}, {201, {K::L}, 1, 0}, {0, {K::Add}, 2, 0}}},
        {"one step per frame, the first in key order", 2, 1,
         {{201, {K::Add, K::Subtract, K::L, K::K}, 2, 2}, {201, {K::Add, K::Subtract}, 1, 2}}},
        {"a key at its limit lets the next one step", 1, 2, {{201, {K::K, K::Subtract, K::Add}, 2, 2}}},
        {"Equal and Hyphen step like Add and Subtract", 1, 0,
         {{201, {K::Equal}, 2, 0}, {200, {K::Equal}, 2, 0}, {1, {K::Equal}, 3, 0}, {201, {K::Hyphen}, 2, 0},
          {201, {K::Hyphen, K::Equal}, 1, 0}}},
        {"the brush stays within 1..4", 3, 0,
         {{201, {K::Add}, 4, 0}, {201, {K::Add}, 4, 0}, {201, {K::Subtract}, 3, 0}, {201, {K::Subtract}, 2, 0},
          {201, {K::Subtract}, 1, 0}, {201, {K::Subtract}, 1, 0}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Editor fresh(data.get(), time);
        choose(fresh, &EditorChoices::active, true);
        choose(fresh, &EditorChoices::brushSize, c.startBrush);
        choose(fresh, &EditorChoices::selectedObject, c.startObject);
        for (std::size_t i = 0; i < c.steps.size(); ++i)
        {
            time.advance(sf::milliseconds(c.steps[i].advanceMs));
            fresh.update(pressing(c.steps[i].held), &map, 1.f, 1.f);
            EXPECT_EQ(fresh.choices().brushSize, c.steps[i].brushSize) << "step " << i;
            EXPECT_EQ(fresh.choices().selectedObject, c.steps[i].selectedObject) << "step " << i;
        }
    }
}

TEST_F(EditorTest, HitTestFromTheMapOrigin)
{
    // Mouse in window pixels, scale in window pixels per scene pixel.
    struct Case { float originX, originY; int mx, my; float scale; bool hits; Cell field; sf::Vector2f cursor; };
    const Case cases[] = {
        {0, 0, 16, 5, 1, true, {0, 0}, {0, 0}},           // shared edge: the lower column wins
        {0, 0, 16, 16, 1, true, {0, 0}, {0, 0}},          // corner of four fields
        {0, 0, 17, 16, 1, true, {1, 0}, {16, 0}},         // shared edge: the lower row wins
        {0, 0, 5, 3200, 1, true, {0, 199}, {0, 3184}},    // bottom edge of the map is inside
        {0, 0, 5, 3201, 1, false, {}, {}},                // below the map
        {0, 0, 3201, 5, 1, false, {}, {}},                // right of the map
        {-40, -24, 0, 0, 1, true, {2, 1}, {-8, -8}},      // c0 = 2, r0 = 1
        {-40, -24, -9, 0, 1, false, {}, {}},              // left of column c0, although on the map
        {15, 0, 20, 5, 1, true, {0, 0}, {15, 0}},         // origin inside the first field
        {16, 0, 20, 5, 1, true, {0, 0}, {16, 0}},         // x0 = 16: the search starts at column 0
        {0, 16, 5, 20, 1, true, {0, 0}, {0, 16}},         // y0 = 16: and at row 0
        {40, 24, 39, 30, 1, false, {}, {}},               // left of the map
        {-3184, -3184, 8, 8, 1, true, {199, 199}, {0, 0}},
        {-3200, 0, 8, 8, 1, false, {}, {}},               // c0 = 200
        {-400, -400, 330, 5, 1, true, {45, 25}, {320, 0}}, // beyond the scene's right edge
        {0, 0, 1080, 648, 3.375f, true, {19, 11}, {304, 176}}, // scene corner (320, 192) at the game's x scale
        {0, 0, 65, 8, 4, true, {1, 0}, {16, 0}},          // scene x 16.25
        {-0.5f, 0, 65, 8, 4, true, {1, 0}, {16, 0}},      // fields at -0.5 and 15.5 truncate to 0 and 15
        {-16.5f, 0, -1, 8, 4, false, {}, {}},             // field 1 at -0.5 truncates to 0: x -0.25 misses
        {-16.5f, 0, 65, 8, 4, true, {2, 0}, {16, 0}},     // x 16.25: field 2 truncates to 15
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "origin (" << c.originX << ", " << c.originY << "), mouse (" << c.mx
                                          << ", " << c.my << ") / " << c.scale);
        map.setOrigin(c.originX, c.originY);
        Editor fresh(data.get(), time);
        choose(fresh, &EditorChoices::active, true);
        choose(fresh, &EditorChoices::mode, EditorMode::MarkSolid);
        fresh.update(click(c.mx, c.my), &map, c.scale, c.scale);
        EXPECT_EQ(solidFields(), c.hits ? std::set<Cell>{c.field} : std::set<Cell>{});
        EXPECT_EQ(fresh.cursor().getPosition(), c.hits ? c.cursor : sf::Vector2f(0, 0)) << "a miss leaves it";
        if (c.hits)
            map.setSolid(c.field.first, c.field.second, false);
    }
}

// The whole search written out plainly: every column from c0 and every row
// from r0 (0 for an origin right of or below the scene's corner), first hit wins.
bool referenceHit(const FieldMap& map, float px, float py, Cell& hit)
{
    const int x0 = static_cast<int>(map.origin().x), y0 = static_cast<int>(map.origin().y);
    const int c0 = std::max(0, -(x0 / 16)), r0 = std::max(0, -(y0 / 16));
    if (c0 >= 200)
        return false;
    for (int c = c0; c < 200; ++c)
        for (int r = r0; r < 200; ++r)
        {
            const int fx = static_cast<int>(map.at(c, r).groundSprite.getPosition().x);
            const int fy = static_cast<int>(map.at(c, r).groundSprite.getPosition().y);
            if (float(fx) <= px && px <= float(fx + 16) && float(fy) <= py && py <= float(fy + 16))
            {
                hit = {c, r};
                return true;
            }
        }
    return false;
}

TEST_F(EditorTest, HitTestMatchesTheFullSearch)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> originPixel(-3300, 40), mousePixel(-80, 1200), fraction(0, 3), line(0, 20);
    const float scales[] = {1.f, 3.375f, 4.f};
    for (int i = 0; i < 300; ++i)
    {
        const float ox = float(originPixel(random)) - 0.25f * float(fraction(random));
        const float oy = float(originPixel(random)) - 0.25f * float(fraction(random));
        map.setOrigin(ox, oy);
        const float scale = scales[i % 3];
        int mx = mousePixel(random), my = mousePixel(random);
        if (i % 3 == 0)
        {
            // On the lines between fields, where the first-hit rule decides.
            mx = (int(ox) % 16 + 16) % 16 + 16 * line(random);
            my = (int(oy) % 16 + 16) % 16 + 16 * line(random);
        }
        Editor probe(data.get(), time);
        choose(probe, &EditorChoices::active, true);
        choose(probe, &EditorChoices::mode, EditorMode::MarkSolid);
        probe.update(click(mx, my), &map, scale, scale);

        Cell hit;
        const bool found = referenceHit(map, float(mx) / scale, float(my) / scale, hit);
        const int x0 = int(ox), y0 = int(oy);
        const sf::Vector2f wanted =
            found ? sf::Vector2f(float(x0 + 16 * hit.first), float(y0 + 16 * hit.second)) : sf::Vector2f(0, 0);
        SCOPED_TRACE(::testing::Message() << "origin (" << ox << ", " << oy << "), mouse (" << mx << ", " << my
                                          << ") / " << scale);
        ASSERT_EQ(probe.cursor().getPosition(), wanted);
        ASSERT_EQ(solidFields(), found ? std::set<Cell>{hit} : std::set<Cell>{});
        if (found)
            map.setSolid(hit.first, hit.second, false);
    }
}

// Brush n: a field, a plus sign, a diamond of radius 2, and the 5 x 5 square
// with a tip of 3 on each axis.
bool inBrush(int size, int dx, int dy)
{
    const int distance = std::abs(dx) + std::abs(dy);
    if (size < 4)
        return distance <= size - 1;
    return (std::abs(dx) <= 2 && std::abs(dy) <= 2) || (distance == 3 && (dx == 0 || dy == 0));
}

TEST_F(EditorTest, BrushPaintsItsPatternClippedToTheGrid)
{
    const Cell hits[] = {{10, 10}, {0, 0}, {199, 199}, {0, 199}, {199, 0}, {1, 100}, {100, 198}, {5, 0}, {197, 2}};
    for (int size = 1; size <= 4; ++size)
        for (const Cell& hit : hits)
            for (bool under : {false, true})
            {
                SCOPED_TRACE(::testing::Message() << "size " << size << " at (" << hit.first << ", " << hit.second
                                                  << ")" << (under ? " under" : ""));
                // The hit field at the scene's top-left corner, clicked in its middle.
                FieldMap fresh(data.get());
                fresh.setOrigin(-16.f * float(hit.first), -16.f * float(hit.second));
                Editor brush(data.get(), time);
                choose(brush, &EditorChoices::active, true);
                choose(brush, &EditorChoices::brushSize, size);
                choose(brush, &EditorChoices::selectedGround, 3);
                choose(brush, &EditorChoices::underLayer, under);
                brush.update(click(8, 8), &fresh, 1.f, 1.f);

                std::set<Cell> expected, painted;
                for (int c = 0; c < MapSize; ++c)
                    for (int r = 0; r < MapSize; ++r)
                    {
                        const Field& field = fresh.at(c, r);
                        if (inBrush(size, c - hit.first, r - hit.second))
                            expected.insert({c, r});
                        if ((under ? field.underType : field.groundType) == 3)
                            painted.insert({c, r});
                        ASSERT_EQ(under ? field.groundType : field.underType, DefaultGroundType);
                    }
                EXPECT_EQ(painted, expected);
            }
}

TEST_F(EditorTest, ActsOnTheFieldUnderTheMouseByMode)
{
    // Dragging paints every frame without delay.
    choose(editor, &EditorChoices::active, true);
    frame(click(8, 8, {sf::Keyboard::Num2}));
    frame(click(24, 8));
    InputState released = click(40, 8);
    released.leftButton = false;
    frame(released);
    EXPECT_EQ(fieldsWhere([](const Field& f) { return f.groundType == 1; }), (std::set<Cell>{{0, 0}, {1, 0}}));

    choose(editor, &EditorChoices::mode, EditorMode::PlaceObject);
    choose(editor, &EditorChoices::selectedObject, 2);
    frame(click(40, 24));
    const PlacedObject& placed = map.at(2, 1).object;
    EXPECT_TRUE(placed.type() == data->object(2) && placed.present());
    frame(click(40, 24, {sf::Keyboard::LShift}));
    EXPECT_EQ(placed.type(), data->object(0));

    frame(click(40, 24, {sf::Keyboard::I}));
    EXPECT_EQ(solidFields(), (std::set<Cell>{{2, 1}}));
    frame(click(40, 24, {sf::Keyboard::LShift}));
    EXPECT_TRUE(solidFields().empty());
}

TEST(EditorContent, MissingDefinitionsPlaceNothing)
{
    // With only object 0, LShift still removes; without any, nothing changes.
    for (int objects : {1, 0})
    {
        TestContentOptions options;
        options.objects = objects;
        const TestContent dir(options);
        std::ostringstream console;
        const GameData data(dir.path(), &console);
        FieldMap map(&data);
        ManualTimeSource time;
        Editor editor(&data, time);
        choose(editor, &EditorChoices::active, true);
        choose(editor, &EditorChoices::mode, EditorMode::PlaceObject);
        choose(editor, &EditorChoices::selectedObject, 2);
        editor.update(click(56, 56), &map, 1, 1);
        EXPECT_EQ(map.at(3, 3).object.type(), nullptr) << objects;
        editor.update(click(56, 56, {sf::Keyboard::LShift}), &map, 1, 1);
        EXPECT_EQ(map.at(3, 3).object.type(), data.object(0)) << objects;
    }
}

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
using K = sf::Keyboard;

// Held keys and the left button over window pixel (mx, my).
InputState click(int mx, int my, const Keys& held = {})
{
    InputState input = pressing(held);
    input.mousePosition = {mx, my};
    input.leftButton = true;
    return input;
}

class EditorTest : public WorldFixture
{
protected:
    // Moves the clock on and runs one frame of `editor` on the map.
    void frame(const InputState& input, int advanceMs = 0, float scale = 1.f)
    {
        time.advance(sf::milliseconds(advanceMs));
        editor().update(input, &map, scale, scale);
    }
    // Starts over with a fresh editor with `choices`.
    void restart(const EditorChoices& choices = {true})
    {
        current = std::make_unique<Editor>(*data, time);
        current->setChoices(choices);
    }
    Editor& editor() { return *current; }
    // The fields whose stored values are no longer those of a new map.
    std::set<Cell> changed() const
    {
        std::set<Cell> result;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                if (map.at(c, r).values() != FieldValues{})
                    result.insert({c, r});
        return result;
    }

    ManualTimeSource time;
    std::unique_ptr<Editor> current = std::make_unique<Editor>(*data, time);
};

const EditorChoices SolidMode{true, EditorMode::MarkSolid};
} // namespace

TEST_F(EditorTest, ToggleNeedsMoreThan200MillisecondsAndKeepsTheChoices)
{
    frame(click(40, 40, {K::E, K::I, K::Add}), 200);
    EXPECT_FALSE(editor().active()) << "200 ms is not enough";
    EXPECT_TRUE(editor().choices().mode == EditorMode::PaintGround && editor().choices().brushSize == 1 && changed().empty())
        << "an inactive editor ignores keys and mouse";
    // The frame that switches the editor on already acts.
    frame(click(40, 24, {K::E, K::U, K::Num3}), 1);
    EXPECT_TRUE(editor().active()) << "201 ms toggles";
    EXPECT_EQ(editor().cursor().getPosition(), sf::Vector2f(32, 16));
    EXPECT_TRUE(changed() == (std::set<Cell>{{2, 1}}) && map.at(2, 1).underType() == 2);
    frame(pressing({K::E}), 200);
    EXPECT_TRUE(editor().active()) << "held E waits again from the toggle";
    frame(pressing({K::E}), 1);
    EXPECT_FALSE(editor().active());
    // The clock restarts only on a toggle: after a pause the next press acts at once.
    frame(pressing({}), 5000);
    frame(pressing({K::E}), 0);
    EXPECT_TRUE(editor().active() && editor().choices().underLayer && editor().choices().selectedGround == 2);
}

TEST_F(EditorTest, StepKeysShareOneClockAndStopAtTheirLimits)
{
    struct Step { int advanceMs; Keys held; int brushSize, selectedObject; };
    const Step steps[] = {
        {201, {K::Add, K::K}, 4, 2},     // both at their limits: nothing, and the clock keeps running
        {0, {K::L}, 4, 1},               // so L steps at once
        {200, {K::Subtract}, 4, 1},      // within 200 ms of L
        {1, {K::Subtract, K::L}, 4, 0},  // one step per frame, the first in key order
        {201, {K::L, K::Hyphen}, 3, 0},  // L at its limit lets Hyphen step
        {201, {K::Equal}, 4, 0},
    };
    restart({true, EditorMode::PaintGround, false, 0, 2, 4});
    for (const Step& step : steps)
    {
        frame(pressing(step.held), step.advanceMs);
        EXPECT_EQ(std::pair(editor().choices().brushSize, editor().choices().selectedObject),
                  std::pair(step.brushSize, step.selectedObject))
            << "step " << (&step - steps);
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
            const int fx = int(map.position(c, r).x);
            const int fy = int(map.position(c, r).y);
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
    // Map origin, mouse in window pixels, window pixels per scene pixel.
    struct Probe { float ox, oy; int mx, my; float scale; };
    std::vector<Probe> probes = {
        {0, 0, 16, 16, 1}, {0, 0, 5, 3200, 1}, {0, 0, 5, 3201, 1}, // a corner of four fields; the map's bottom edge
        {-40, -24, -9, 0, 1},                  // left of the first column c0 = 2, although on the map
        {16, 0, 20, 5, 1}, {0, 16, 5, 20, 1}, // the map right of or below the scene's corner: from column/row 0
        {40, 24, 39, 30, 1}, {-3200, 0, 8, 8, 1}, // left of the map; c0 = 200: no search
        {-16.5f, 0, -1, 8, 4}, {-16.5f, 0, 65, 8, 4}, // fields at -0.5 and 15.5 truncate to 0 and 15
    };
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> originPixel(-3300, 40), mousePixel(-80, 1200), fraction(0, 3), line(0, 20);
    for (int i = 0; i < 300; ++i)
    {
        Probe p{float(originPixel(random)) - 0.25f * float(fraction(random)),
                float(originPixel(random)) - 0.25f * float(fraction(random)), mousePixel(random), mousePixel(random),
                i % 3 == 0 ? 1.f : i % 3 == 1 ? 3.375f : 4.f};
        if (i % 3 == 0)
        {
            // On the lines between fields, where the first-hit rule decides.
            p.mx = (int(p.ox) % 16 + 16) % 16 + 16 * line(random);
            p.my = (int(p.oy) % 16 + 16) % 16 + 16 * line(random);
        }
        probes.push_back(p);
    }
    for (const Probe& p : probes)
    {
        map.setOrigin(p.ox, p.oy);
        restart(SolidMode);
        frame(click(p.mx, p.my), 0, p.scale);
        Cell hit;
        const bool found = referenceHit(map, float(p.mx) / p.scale, float(p.my) / p.scale, hit);
        const sf::Vector2f wanted =
            found ? sf::Vector2f(float(int(p.ox) + 16 * hit.first), float(int(p.oy) + 16 * hit.second)) : sf::Vector2f();
        SCOPED_TRACE(::testing::Message() << "origin (" << p.ox << ", " << p.oy << "), mouse (" << p.mx << ", " << p.my
                                          << ") / " << p.scale);
        ASSERT_EQ(editor().cursor().getPosition(), wanted);
        ASSERT_EQ(changed(), found ? std::set<Cell>{hit} : std::set<Cell>{});
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
    for (int size = 1; size <= 4; ++size)
        for (const Cell& hit : {Cell{10, 10}, Cell{0, 199}, Cell{199, 0}, Cell{1, 198}})
            for (bool under : {false, true})
            {
                // The hit field at the scene's top-left corner, clicked in its middle.
                map.setOrigin(-16.f * float(hit.first), -16.f * float(hit.second));
                restart({true, EditorMode::PaintGround, under, 3, 0, size});
                frame(click(8, 8));
                std::set<Cell> expected;
                for (int dx = -3; dx <= 3; ++dx)
                    for (int dy = -3; dy <= 3; ++dy)
                        if (inBrush(size, dx, dy) && FieldMap::onMap(hit.first + dx, hit.second + dy))
                            expected.insert({hit.first + dx, hit.second + dy});
                const std::set<Cell> painted = changed();
                EXPECT_EQ(painted, expected) << "size " << size << " at " << hit.first << "," << hit.second;
                for (const auto& [c, r] : painted)
                {
                    EXPECT_EQ(map.at(c, r).values(), (under ? FieldValues{5, 3} : FieldValues{3, 5}));
                    map.setValues(c, r, {});
                }
            }
}

TEST_F(EditorTest, ActsOnTheFieldUnderTheMouseByMode)
{
    // Dragging paints every frame without delay; the button released, nothing.
    restart();
    for (const InputState& input : {click(8, 8, {K::Num2}), click(24, 8), pressing({})})
        frame(input);
    EXPECT_TRUE(changed() == (std::set<Cell>{{0, 0}, {1, 0}}) && map.at(1, 0).groundType() == 1);
    frame(click(40, 24, {K::P, K::K}), 201);
    EXPECT_EQ(map.at(2, 1).objectId(), 1);
    frame(click(40, 24, {K::LShift}));
    EXPECT_EQ(map.at(2, 1).objectId(), 0);
    frame(click(40, 24, {K::I}));
    EXPECT_TRUE(map.at(2, 1).solid());
    frame(click(40, 24, {K::LShift}));
    EXPECT_TRUE(changed() == (std::set<Cell>{{0, 0}, {1, 0}}) && !map.at(2, 1).solid());
}

TEST(EditorReach, NumberKeysAndTheWheelStopAtTheEndsOfWhatIsLoaded)
{
    // Ground types 0..6 (Num8 and Num9 name none) and objects 0..3.
    const TestContent dir(TestContentOptions{7, 4, 4});
    std::ostringstream console;
    const GameData data(dir.path(), &console);
    ManualTimeSource time;
    Editor editor(data, time);
    editor.setChoices({true, EditorMode::PaintGround, false, 5, 2});
    // Keys held, wheel notches, milliseconds before the frame; then the choices.
    struct Step { Keys held; float wheel; int ms; EditorMode mode; int ground, object; };
    const Step steps[] = {
        {{K::Num7}, 0, 0, EditorMode::PaintGround, 6, 2},
        {{K::Num8}, 0, 0, EditorMode::PaintGround, 6, 2},      // type 7 is not loaded
        {{K::Num9}, 0, 0, EditorMode::PaintGround, 6, 2},
        {{}, 3, 0, EditorMode::PaintGround, 6, 2},              // the last type: the wheel stops
        {{}, -2.5f, 0, EditorMode::PaintGround, 4, 2},          // two notches; the half waits
        {{}, -0.5f, 0, EditorMode::PaintGround, 3, 2},          // and makes the third
        {{}, -9, 0, EditorMode::PaintGround, 0, 2},
        {{K::P, K::K}, 0, 201, EditorMode::PlaceObject, 0, 3},  // K to the last object
        {{K::L}, -1, 0, EditorMode::PlaceObject, 0, 2},         // L waits for its clock; the wheel does not
        {{K::K}, 0, 201, EditorMode::PlaceObject, 0, 3},
        {{K::K}, 0, 201, EditorMode::PlaceObject, 0, 3},        // and no further
        {{}, -10, 0, EditorMode::PlaceObject, 0, 0},            // object 0 included
        {{K::I}, 2, 0, EditorMode::MarkSolid, 0, 0},            // the wheel does nothing in solid mode
    };
    for (const Step& step : steps)
    {
        time.advance(sf::milliseconds(step.ms));
        InputState input = pressing(step.held);
        input.wheelNotches = step.wheel;
        editor.update(input, nullptr, 1.f, 1.f);
        const EditorChoices& c = editor.choices();
        EXPECT_TRUE(c.mode == step.mode && c.selectedGround == step.ground && c.selectedObject == step.object)
            << "step " << (&step - steps) << ": ground " << c.selectedGround << ", object " << c.selectedObject;
    }
}

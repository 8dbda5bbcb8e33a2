#include "TestContent.h"

#include "content/GameData.h"
#include "editor/Editor.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

namespace
{
using Cell = std::pair<int, int>; // column, row
// A vector, not an initializer_list: table rows keep their keys alive.
using Keys = std::vector<sf::Keyboard::Key>;

InputState keys(const Keys& held)
{
    InputState input;
    for (sf::Keyboard::Key key : held)
        input.press(key);
    return input;
}

// Held keys and the left button over window pixel (mx, my).
InputState click(int mx, int my, const Keys& held = {})
{
    InputState input = keys(held);
    input.mousePosition = {mx, my};
    input.leftButton = true;
    return input;
}

class EditorTest : public ::testing::Test
{
protected:
    explicit EditorTest(const TestContentOptions& options = {})
        : dir(options), data(dir.path(), &console), map(&data), editor(&data, time)
    {
    }

    // Moves the clock on and runs one frame at scene scale `scale`.
    void frame(const InputState& input, int advanceMs = 0, float scale = 1.f)
    {
        time.advance(sf::milliseconds(advanceMs));
        editor.update(input, &map, scale, scale);
    }

    void switchOn()
    {
        frame(keys({sf::Keyboard::E}), 201);
        ASSERT_TRUE(editor.active);
    }

    // Fields whose ground layer has type `type`.
    std::set<Cell> groundOf(int type) const
    {
        std::set<Cell> result;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                if (map.at(c, r).groundType == type)
                    result.insert({c, r});
        return result;
    }

    std::set<Cell> solidFields() const
    {
        std::set<Cell> result;
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                if (map.at(c, r).solid)
                    result.insert({c, r});
        return result;
    }

    std::ostringstream console;
    TestContent dir;
    GameData data;
    FieldMap map;
    ManualTimeSource time;
    Editor editor;
};

TEST_F(EditorTest, ToggleNeedsMoreThan200WholeMilliseconds)
{
    frame(keys({sf::Keyboard::E}), 200);
    EXPECT_FALSE(editor.active) << "200 ms is not enough";
    frame(keys({sf::Keyboard::E}), 1);
    EXPECT_TRUE(editor.active) << "201 ms toggles";
    frame(keys({sf::Keyboard::E}), 200);
    EXPECT_TRUE(editor.active) << "held E waits again from the toggle";
    frame(keys({sf::Keyboard::E}), 1);
    EXPECT_FALSE(editor.active) << "held E toggles again after 201 ms";
    // The clock restarts only on a toggle: a long pause lets the next press act at once.
    frame(keys({}), 5000);
    frame(keys({sf::Keyboard::E}), 0);
    EXPECT_TRUE(editor.active);
}

TEST_F(EditorTest, InactiveEditorIgnoresKeysAndMouse)
{
    frame(click(40, 40, {sf::Keyboard::I, sf::Keyboard::U, sf::Keyboard::Num4, sf::Keyboard::Add}), 500);
    EXPECT_FALSE(editor.active);
    EXPECT_EQ(editor.mode, PaintGround);
    EXPECT_FALSE(editor.underLayer);
    EXPECT_EQ(editor.selectedGround, 0);
    EXPECT_EQ(editor.brushSize, 1);
    EXPECT_EQ(editor.cursor->getPosition(), sf::Vector2f(0, 0));
    EXPECT_EQ(groundOf(0).size(), 0u);
}

TEST_F(EditorTest, FrameThatSwitchesOnAlreadyActs)
{
    frame(click(40, 24, {sf::Keyboard::E, sf::Keyboard::Num3}), 201);
    EXPECT_TRUE(editor.active);
    EXPECT_EQ(editor.cursor->getPosition(), sf::Vector2f(32, 16));
    EXPECT_EQ(groundOf(2), (std::set<Cell>{{2, 1}}));
}

TEST_F(EditorTest, LaterKeyOfAKindWins)
{
    struct Case
    {
        Keys held;
        bool underLayer;
        int mode;
        int ground;
    };
    const Case cases[] = {
        {{sf::Keyboard::U}, true, PaintGround, 0},
        {{sf::Keyboard::U, sf::Keyboard::Z}, false, PaintGround, 0},
        {{sf::Keyboard::P}, false, PlaceObject, 0},
        {{sf::Keyboard::P, sf::Keyboard::O}, false, PaintGround, 0},
        {{sf::Keyboard::O, sf::Keyboard::I}, false, MarkSolid, 0}, // I comes after O in the key order
        {{sf::Keyboard::P, sf::Keyboard::O, sf::Keyboard::I}, false, MarkSolid, 0},
        {{sf::Keyboard::P, sf::Keyboard::I}, false, MarkSolid, 0},
        {{sf::Keyboard::Num1, sf::Keyboard::Num6}, false, PaintGround, 5},
        {{sf::Keyboard::Num4, sf::Keyboard::Num2}, false, PaintGround, 3},
        {{sf::Keyboard::Num1}, false, PaintGround, 0},
    };
    for (const Case& c : cases)
    {
        Editor fresh(&data, time);
        InputState input = keys(c.held);
        input.press(sf::Keyboard::E);
        time.advance(sf::milliseconds(201));
        fresh.update(input, &map, 1.f, 1.f);
        ASSERT_TRUE(fresh.active);
        EXPECT_EQ(fresh.underLayer, c.underLayer);
        EXPECT_EQ(fresh.mode, c.mode);
        EXPECT_EQ(fresh.selectedGround, c.ground);
    }
}

TEST_F(EditorTest, ChoicesSurviveSwitchingOffAndOn)
{
    switchOn();
    frame(keys({sf::Keyboard::U, sf::Keyboard::I, sf::Keyboard::Num5, sf::Keyboard::K}), 201);
    frame(keys({sf::Keyboard::E}), 201);
    ASSERT_FALSE(editor.active);
    frame(keys({sf::Keyboard::E}), 201);
    ASSERT_TRUE(editor.active);
    EXPECT_TRUE(editor.underLayer);
    EXPECT_EQ(editor.mode, MarkSolid);
    EXPECT_EQ(editor.selectedGround, 4);
    EXPECT_EQ(editor.selectedObject, 1);
}

TEST_F(EditorTest, StepKeysShareOneClock)
{
    struct Step
    {
        int advanceMs;
        Keys held;
        int brushSize;
        int selectedObject;
    };
    struct Case
    {
        const char* name;
        int startBrush;
        int startObject;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"K then Add within 200 ms: the Add waits",
         1, 0,
         {{201, {sf::Keyboard::K}, 1, 1}, {150, {sf::Keyboard::Add}, 1, 1}, {50, {sf::Keyboard::Add}, 1, 1},
          {1, {sf::Keyboard::Add}, 2, 1}}},
        {"Add at 4 does not restart the clock",
         4, 0,
         {{201, {sf::Keyboard::K}, 4, 1}, {201, {sf::Keyboard::Add}, 4, 1}, {0, {sf::Keyboard::K}, 4, 2}}},
        {"Subtract at 1 does not restart the clock",
         1, 0,
         {{201, {sf::Keyboard::Subtract}, 1, 0}, {0, {sf::Keyboard::K}, 1, 1}}},
        {"K at 2 and L at 0 change nothing",
         1, 2,
         {{201, {sf::Keyboard::K}, 1, 2}, {0, {sf::Keyboard::L}, 1, 1}, {201, {sf::Keyboard::L}, 1, 0},
          {201, {sf::Keyboard::L}, 1, 0}, {0, {sf::Keyboard::Add}, 2, 0}}},
        {"exactly 200 ms is not enough",
         1, 0,
         {{200, {sf::Keyboard::Add}, 1, 0}, {1, {sf::Keyboard::Add}, 2, 0}, {200, {sf::Keyboard::Add}, 2, 0},
          {1, {sf::Keyboard::Add}, 3, 0}}},
        {"one step per frame, the first in key order",
         2, 1,
         {{201, {sf::Keyboard::Add, sf::Keyboard::Subtract, sf::Keyboard::L, sf::Keyboard::K}, 2, 2},
          {201, {sf::Keyboard::Add, sf::Keyboard::Subtract}, 1, 2}}},
        {"a key at its limit lets the next one step",
         1, 2,
         {{201, {sf::Keyboard::K, sf::Keyboard::Subtract, sf::Keyboard::Add}, 2, 2}}},
        {"Equal and Hyphen step like Add and Subtract",
         1, 0,
         {{201, {sf::Keyboard::Equal}, 2, 0}, {100, {sf::Keyboard::Equal}, 2, 0}, {101, {sf::Keyboard::Equal}, 3, 0},
          {201, {sf::Keyboard::Hyphen}, 2, 0}, {201, {sf::Keyboard::Hyphen, sf::Keyboard::Equal}, 1, 0},
          {100, {sf::Keyboard::Add}, 1, 0}}},
        {"the brush stays within 1..4",
         3, 0,
         {{201, {sf::Keyboard::Add}, 4, 0}, {201, {sf::Keyboard::Add}, 4, 0}, {201, {sf::Keyboard::Subtract}, 3, 0},
          {201, {sf::Keyboard::Subtract}, 2, 0}, {201, {sf::Keyboard::Subtract}, 1, 0},
          {201, {sf::Keyboard::Subtract}, 1, 0}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Editor fresh(&data, time);
        fresh.active = true;
        fresh.brushSize = c.startBrush;
        fresh.selectedObject = c.startObject;
        for (std::size_t i = 0; i < c.steps.size(); ++i)
        {
            const Step& step = c.steps[i];
            time.advance(sf::milliseconds(step.advanceMs));
            fresh.update(keys(step.held), &map, 1.f, 1.f);
            EXPECT_EQ(fresh.brushSize, step.brushSize) << "step " << i;
            EXPECT_EQ(fresh.selectedObject, step.selectedObject) << "step " << i;
        }
    }
}

// The whole search as the game has always done it: every column from c0 and
// every row from r0, first hit wins.
bool referenceHit(const FieldMap& map, float px, float py, Cell& hit)
{
    const int x0 = static_cast<int>(map.origin().x);
    const int y0 = static_cast<int>(map.origin().y);
    const int c0 = -(x0 / 16);
    const int r0 = -(y0 / 16);
    if (c0 < 0 || r0 < 0 || c0 >= 200)
        return false;
    for (int c = c0; c < 200; ++c)
        for (int r = r0; r < 200; ++r)
        {
            const sf::Vector2f& p = map.at(c, r).groundSprite.getPosition();
            const int fx = static_cast<int>(p.x);
            const int fy = static_cast<int>(p.y);
            if (float(fx) <= px && px <= float(fx + 16) && float(fy) <= py && py <= float(fy + 16))
            {
                hit = {c, r};
                return true;
            }
        }
    return false;
}

TEST_F(EditorTest, HitTestFromTheMapOrigin)
{
    struct Case
    {
        float originX, originY;
        int mx, my;  // window pixels
        float scale; // window pixels per scene pixel
        bool hits;
        Cell field;
        sf::Vector2f cursor;
    };
    const Case cases[] = {
        {0, 0, 16, 5, 1, true, {0, 0}, {0, 0}},           // shared edge: the lower column wins
        {0, 0, 16, 16, 1, true, {0, 0}, {0, 0}},          // corner of four fields
        {0, 0, 17, 16, 1, true, {1, 0}, {16, 0}},         // shared edge: the lower row wins
        {0, 0, 0, 0, 1, true, {0, 0}, {0, 0}},
        {0, 0, 5, 3200, 1, true, {0, 199}, {0, 3184}},    // bottom edge of the map is inside
        {0, 0, 5, 3201, 1, false, {}, {}},                // below the map
        {0, 0, 3201, 5, 1, false, {}, {}},                // right of the map
        {0, 0, -1, 5, 1, false, {}, {}},                  // left of the map
        {-40, -24, 0, 0, 1, true, {2, 1}, {-8, -8}},      // c0 = 2, r0 = 1
        {-40, -24, -9, 0, 1, false, {}, {}},              // left of column c0, although on the map
        {-40, -24, 0, -9, 1, false, {}, {}},              // above row r0
        {15, 0, 20, 5, 1, true, {0, 0}, {15, 0}},         // origin inside the first field
        {16, 0, 20, 5, 1, false, {}, {}},                 // x0 = 16: c0 = -1
        {0, 16, 5, 20, 1, false, {}, {}},                 // y0 = 16: r0 = -1
        {200, 200, 210, 210, 1, false, {}, {}},
        {-3184, -3184, 8, 8, 1, true, {199, 199}, {0, 0}},
        {-3200, 0, 8, 8, 1, false, {}, {}},               // c0 = 200
        {0, -3200, 8, 8, 1, false, {}, {}},               // r0 = 200: no rows
        {-400, -400, 330, 5, 1, true, {45, 25}, {320, 0}}, // beyond the scene's right edge
        {0, 0, 1080, 648, 3.375f, true, {19, 11}, {304, 176}}, // scene corner (320, 192) at the game's x scale
        {0, 0, 65, 8, 4, true, {1, 0}, {16, 0}},          // scene x 16.25
        {-0.5f, 0, 65, 8, 4, true, {1, 0}, {16, 0}},      // fields at -0.5 and 15.5 truncate to 0 and 15
        {-16.5f, 0, -1, 8, 4, false, {}, {}},             // field 1 at -0.5 truncates to 0: x -0.25 misses
        {-16.5f, 0, 61, 8, 4, true, {1, 0}, {0, 0}},      // x 15.25
        {-16.5f, 0, 65, 8, 4, true, {2, 0}, {16, 0}},     // x 16.25: field 2 truncates to 15
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "origin (" << c.originX << ", " << c.originY << "), mouse (" << c.mx
                                          << ", " << c.my << ") / " << c.scale);
        map.setOrigin(c.originX, c.originY);
        for (int col = 0; col < MapSize; ++col)
            for (int row = 0; row < MapSize; ++row)
                map.at(col, row).solid = false;
        Editor fresh(&data, time);
        fresh.active = true;
        fresh.mode = MarkSolid;
        fresh.cursor->setPosition(-999, -999);
        fresh.update(click(c.mx, c.my), &map, c.scale, c.scale);
        if (c.hits)
        {
            EXPECT_EQ(solidFields(), std::set<Cell>{c.field});
            EXPECT_EQ(fresh.cursor->getPosition(), c.cursor);
        }
        else
        {
            EXPECT_TRUE(solidFields().empty());
            EXPECT_EQ(fresh.cursor->getPosition(), sf::Vector2f(-999, -999));
        }
        Cell expected;
        EXPECT_EQ(referenceHit(map, float(c.mx) / c.scale, float(c.my) / c.scale, expected), c.hits);
        if (c.hits)
        {
            EXPECT_EQ(expected, c.field);
        }
    }
}

TEST_F(EditorTest, HitTestMatchesTheFullSearch)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> originPixel(-3300, 40);
    std::uniform_int_distribution<int> mousePixel(-80, 1200);
    std::uniform_int_distribution<int> fraction(0, 3);
    std::uniform_int_distribution<int> line(0, 20);
    const float scales[] = {1.f, 3.375f, 4.f};
    for (int i = 0; i < 300; ++i)
    {
        const float ox = float(originPixel(random)) - 0.25f * float(fraction(random));
        const float oy = float(originPixel(random)) - 0.25f * float(fraction(random));
        map.setOrigin(ox, oy);
        const float scale = scales[i % 3];
        int mx = mousePixel(random);
        int my = mousePixel(random);
        if (i % 3 == 0)
        {
            // On the lines between fields, where the first-hit rule decides.
            const int x0 = static_cast<int>(ox);
            const int y0 = static_cast<int>(oy);
            mx = (x0 % 16 + 16) % 16 + 16 * line(random);
            my = (y0 % 16 + 16) % 16 + 16 * line(random);
        }
        Editor probe(&data, time);
        probe.active = true;
        probe.cursor->setPosition(-999, -999);
        InputState input;
        input.mousePosition = {mx, my};
        probe.update(input, &map, scale, scale);

        Cell expected;
        const bool hit = referenceHit(map, float(mx) / scale, float(my) / scale, expected);
        const sf::Vector2f wanted = hit ? sf::Vector2f(float(int(ox) + 16 * expected.first),
                                                       float(int(oy) + 16 * expected.second))
                                        : sf::Vector2f(-999, -999);
        ASSERT_EQ(probe.cursor->getPosition(), wanted)
            << "origin (" << ox << ", " << oy << "), mouse (" << mx << ", " << my << ") / " << scale;
    }
}

TEST_F(EditorTest, CursorStaysWhenTheMouseLeavesTheMap)
{
    switchOn();
    frame(click(40, 24));
    EXPECT_EQ(editor.cursor->getPosition(), sf::Vector2f(32, 16));
    frame(click(-50, 24));
    EXPECT_EQ(editor.cursor->getPosition(), sf::Vector2f(32, 16));
}

// The listed offsets of each brush, written out here on their own.
const std::vector<Cell> BrushOffsetsBySize[] = {
    {{0, 0}},
    {{0, 0}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}},
    {{0, 0}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}},
    {{0, 0}, {1, 0},  {0, 1},   {-1, 0},  {0, -1},  {1, 1},   {1, -1}, {-1, 1}, {-1, -1}, {2, 0},
     {-2, 0}, {0, 2}, {0, -2},  {3, 0},   {0, -3},  {0, 3},   {-3, 0}, {1, 2},  {2, 2},   {2, 1},
     {2, -1}, {2, -2}, {1, -2}, {-1, -2}, {-2, -2}, {-2, -1}, {-2, 1}, {-2, 2}, {-1, 2}},
};

TEST_F(EditorTest, BrushPaintsItsPatternClippedToTheGrid)
{
    const Cell hits[] = {{10, 10}, {0, 0}, {199, 199}, {0, 199}, {199, 0}, {1, 100}, {100, 198}, {5, 0}, {197, 2}};
    for (int size = 1; size <= 4; ++size)
    {
        for (const Cell& hit : hits)
        {
            for (bool under : {false, true})
            {
                SCOPED_TRACE(::testing::Message() << "size " << size << " at (" << hit.first << ", " << hit.second
                                                  << ")" << (under ? " under" : ""));
                // Put the hit field at the scene's top-left corner and click its middle.
                FieldMap fresh(&data);
                fresh.setOrigin(-16.f * float(hit.first), -16.f * float(hit.second));
                for (Field& field : fresh.fields)
                    field.needsAutoTile = false;
                Editor brush(&data, time);
                brush.active = true;
                brush.brushSize = size;
                brush.selectedGround = 3;
                brush.underLayer = under;
                brush.update(click(8, 8), &fresh, 1.f, 1.f);

                std::set<Cell> expected;
                for (const Cell& offset : BrushOffsetsBySize[size - 1])
                {
                    const int c = hit.first + offset.first;
                    const int r = hit.second + offset.second;
                    if (c >= 0 && c < 200 && r >= 0 && r < 200)
                        expected.insert({c, r});
                }
                std::set<Cell> painted;
                std::set<Cell> marked;
                for (int c = 0; c < MapSize; ++c)
                    for (int r = 0; r < MapSize; ++r)
                    {
                        const Field& field = fresh.at(c, r);
                        if ((under ? field.underType : field.groundType) == 3)
                            painted.insert({c, r});
                        EXPECT_EQ(under ? field.groundType : field.underType, DefaultGroundType);
                        if (field.needsAutoTile)
                            marked.insert({c, r});
                    }
                EXPECT_EQ(painted, expected);
                EXPECT_EQ(marked, expected);
                if (size == 1 && hit == Cell{10, 10})
                {
                    EXPECT_EQ(fresh.at(10, 10).groundSprite.getTexture() == data.fieldTexture(3), !under);
                }
            }
        }
    }
}

TEST_F(EditorTest, DraggingPaintsEveryFrameWithoutDelay)
{
    switchOn();
    frame(click(8, 8, {sf::Keyboard::Num2}));
    frame(click(24, 8));
    frame(click(40, 8));
    InputState released = click(56, 8);
    released.leftButton = false;
    frame(released);
    EXPECT_EQ(groundOf(1), (std::set<Cell>{{0, 0}, {1, 0}, {2, 0}}));
}

TEST_F(EditorTest, PlacesAndRemovesObjects)
{
    switchOn();
    frame(keys({sf::Keyboard::P, sf::Keyboard::K}));
    frame(keys({sf::Keyboard::K}), 201);
    ASSERT_EQ(editor.selectedObject, 2);
    frame(click(40, 24));
    const ObjectType& placed = *map.at(2, 1).object;
    EXPECT_EQ(placed.id, 2);
    EXPECT_TRUE(placed.present);
    EXPECT_EQ(placed.message, testObjectMessage(2));
    EXPECT_EQ(placed.sprite.getTextureRect(), data.object(2)->sprite.getTextureRect());
    EXPECT_EQ(placed.sprite.getTexture(), data.objectTexture(2));

    frame(click(40, 24, {sf::Keyboard::LShift}));
    EXPECT_EQ(map.at(2, 1).object->id, 0);
    EXPECT_EQ(map.at(2, 1).object->message, "");
    map.refresh();
    EXPECT_FALSE(map.at(2, 1).object->present);
}

TEST_F(EditorTest, MarksAndClearsSolid)
{
    switchOn();
    frame(click(40, 24, {sf::Keyboard::I}));
    EXPECT_EQ(solidFields(), (std::set<Cell>{{2, 1}}));
    map.refresh();
    EXPECT_EQ(map.at(2, 1).collisionRect, sf::IntRect(32, 16, 16, 16));
    frame(click(40, 24, {sf::Keyboard::LShift}));
    EXPECT_TRUE(solidFields().empty());
    map.refresh();
    EXPECT_EQ(map.at(2, 1).collisionRect, sf::IntRect());
}

TEST_F(EditorTest, UnknownModeDoesNothing)
{
    switchOn();
    editor.mode = 7;
    frame(click(40, 24, {sf::Keyboard::Num4}));
    EXPECT_EQ(editor.cursor->getPosition(), sf::Vector2f(32, 16));
    EXPECT_TRUE(groundOf(3).empty());
    EXPECT_TRUE(solidFields().empty());
}

class EditorWithOneObjectTest : public EditorTest
{
protected:
    EditorWithOneObjectTest() : EditorTest(TestContentOptions{8, 3, 1}) {}
};

class EditorWithoutObjectsTest : public EditorTest
{
protected:
    EditorWithoutObjectsTest() : EditorTest(TestContentOptions{8, 3, 0}) {}
};

TEST_F(EditorWithOneObjectTest, MissingDefinitionPlacesNothing)
{
    ASSERT_EQ(data.object(1), nullptr);
    *map.at(3, 3).object = *data.object(0);
    map.at(3, 3).object->id = 9; // something to keep
    switchOn();
    editor.mode = PlaceObject;
    editor.selectedObject = 2;
    frame(click(56, 56));
    EXPECT_EQ(map.at(3, 3).object->id, 9);
    // Removal needs only object 0.
    frame(click(56, 56, {sf::Keyboard::LShift}));
    EXPECT_EQ(map.at(3, 3).object->id, 0);
}

TEST_F(EditorWithoutObjectsTest, NoDefinitionsPlaceNothing)
{
    map.at(3, 3).object->id = 9;
    switchOn();
    editor.mode = PlaceObject;
    for (const Keys& held : {Keys{}, Keys{sf::Keyboard::LShift}})
    {
        frame(click(56, 56, held));
        EXPECT_EQ(map.at(3, 3).object->id, 9);
    }
}
} // namespace

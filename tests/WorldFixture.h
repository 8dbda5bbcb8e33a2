#pragma once

// A test content tree and its store, shared by the tests of one suite, with a
// fresh uniform map for every test; and the whole game on test content.

#include "TestContent.h"

#include "app/Game.h"
#include "content/GameData.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

// A vector, not an initializer_list: table rows keep their keys alive.
using Keys = std::vector<sf::Keyboard::Key>;

// A frame's input with `held` keys down.
inline InputState pressing(const Keys& held)
{
    InputState input;
    for (sf::Keyboard::Key key : held)
        input.press(key);
    return input;
}

// A 16 x 16 piece of a field texture, by its top-left corner.
inline sf::IntRect pieceAt(int left, int top)
{
    return {left, top, 16, 16};
}

class WorldFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { load(std::make_unique<TestContent>()); }
    static void TearDownTestSuite()
    {
        data.reset();
        dir.reset();
    }
    // Loads the store from `tree`, for suites that change the content first.
    static void load(std::unique_ptr<TestContent> tree)
    {
        dir = std::move(tree);
        std::ostringstream console;
        data = std::make_unique<GameData>(dir->path(), &console);
    }

    void putObject(int column, int row, int id) { ASSERT_TRUE(map.setObject(column, row, id)); }
    // Paints `type` on the ground layer of field (c, r), and on its under layer too when `both`.
    void paint(int column, int row, int type, bool both = true)
    {
        ASSERT_TRUE(map.paintGround(column, row, type, false));
        if (both)
        {
            ASSERT_TRUE(map.paintGround(column, row, type, true));
        }
    }
    sf::IntRect piece(int column, int row) const { return map.at(column, row).groundSprite.getTextureRect(); }

    inline static std::unique_ptr<TestContent> dir;
    inline static std::unique_ptr<GameData> data;
    FieldMap map{data.get()};
};

// The whole game on the test content, stepped with scripted input and a manual clock.
class GameFixture : public ::testing::Test
{
protected:
    TestContent dir;
    ManualTimeSource time;
    std::ostringstream console;
    Game game{GameOptions{dir.path(), false, false}, time, &console};
    FieldMap& map = game.worldForSetup();
};

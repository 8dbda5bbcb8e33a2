#pragma once

// A test content tree and its store, shared by the tests of one suite, with a
// fresh uniform map for every test; and the whole game on test content.

#include "TestContent.h"

#include "app/Game.h"
#include "content/GameData.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
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
    // The test content with 8 ground types and 5 objects, ground type
    // SeeThroughType's pieces transparent in their left half, so the under
    // layer shows (and where both layers are of that type, nothing covers it).
    static constexpr int SeeThroughType = 6;
    static void loadSeeThroughContent()
    {
        auto tree = std::make_unique<TestContent>(TestContentOptions{8, 5, 5});
        sf::Image sheet;
        sheet.create(80, 80, sf::Color(250, 250, 250));
        for (unsigned y = 0; y < 80; ++y)
            for (unsigned x = 0; x < 80; ++x)
                if (x % 16 < 8)
                    sheet.setPixel(x, y, sf::Color::Transparent);
        sheet.saveToFile(tree->file("Texturen/FieldTextur" + std::to_string(SeeThroughType) + ".png"));
        load(std::move(tree));
    }
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
    sf::IntRect piece(int column, int row) const { return map.at(column, row).groundPiece(); }

    inline static std::unique_ptr<TestContent> dir;
    inline static std::unique_ptr<GameData> data;
    FieldMap map{*data};
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

#include "TestContent.h"

#include "content/GameData.h"

#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> consoleLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

template <typename T>
int filledRun(const ContentTable<T>& table)
{
    int n = 0;
    while (n < ContentSetCapacity && table[static_cast<std::size_t>(n)])
        ++n;
    for (int i = n; i < ContentSetCapacity; ++i)
    {
        if (table[static_cast<std::size_t>(i)])
            return -1; // a slot after the run is filled: not one unbroken run
    }
    return n;
}
} // namespace

TEST(ContentStore, PrintsOneLinePerSetInLoadOrder)
{
    TestContent dir;
    std::ostringstream console;
    GameData data(dir.path(), &console);
    const std::string& r = dir.path();
    EXPECT_EQ(consoleLines(console.str()), (std::vector<std::string>{
                                               "---Texturen laden bei " + r + "/Texturen/FieldTextur8.png beendet",
                                               "---Object Texturen laden bei " + r + "/Texturen/ObjectTextur3.png beendet",
                                               "---Objekte laden bei " + r + "/Objekte/Object3.object beendet",
                                               "---Item Texturen laden bei " + r + "/Items/ItemTextur2.png beendet",
                                               "---Items laden bei " + r + "/Items/Item2.Item beendet",
                                           }));
    EXPECT_EQ(filledRun(data.fieldTextures), 8);
    EXPECT_EQ(filledRun(data.objectTextures), 3);
    EXPECT_EQ(filledRun(data.objects), 3);
    EXPECT_EQ(filledRun(data.itemTextures), 2);
    EXPECT_EQ(filledRun(data.items), 2);
    for (int type = 0; type < 8; ++type)
        EXPECT_FALSE(data.fieldTextures[static_cast<std::size_t>(type)]->isSmooth());
    EXPECT_FALSE(data.objectTextures[0]->isSmooth());
    EXPECT_FALSE(data.itemTextures[1]->isSmooth());
    EXPECT_EQ(data.playerTexture->getSize(), sf::Vector2u(32, 256));
    EXPECT_EQ(data.uiTexture->getSize(), sf::Vector2u(96, 64));
}

TEST(ContentStore, ASetEndsAtTheFirstNumberWithoutAUsableFile)
{
    TestContent dir({/*fieldTextures*/ 12, /*objectTextures*/ 5, /*objects*/ 6, 0, 4});
    // Gaps: object texture 3 and object 4 and item 2 are missing; later numbers exist.
    std::filesystem::remove(dir.file("Texturen/ObjectTextur3.png"));
    std::filesystem::remove(dir.file("Objekte/Object4.object"));
    std::filesystem::remove(dir.file("Items/Item2.Item"));
    std::ostringstream console;
    GameData data(dir.path(), &console);
    const std::string& r = dir.path();
    const std::vector<std::string> lines = consoleLines(console.str());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "---Texturen laden bei " + r + "/Texturen/FieldTextur12.png beendet");
    EXPECT_EQ(lines[1], "---Object Texturen laden bei " + r + "/Texturen/ObjectTextur3.png beendet");
    EXPECT_EQ(lines[2], "---Objekte laden bei " + r + "/Objekte/Object4.object beendet");
    EXPECT_EQ(lines[3], "---Item Texturen laden bei " + r + "/Items/ItemTextur0.png beendet");
    EXPECT_EQ(lines[4], "---Items laden bei " + r + "/Items/Item2.Item beendet");

    EXPECT_EQ(filledRun(data.fieldTextures), 12);
    EXPECT_EQ(filledRun(data.objectTextures), 3);
    EXPECT_EQ(filledRun(data.objects), 4);
    EXPECT_EQ(filledRun(data.itemTextures), 0);
    EXPECT_EQ(filledRun(data.items), 2);
    EXPECT_EQ(data.items[1]->name, "Item 1"); // only the first line
    EXPECT_EQ(data.items[1]->id, 1);

    // Object 3 has a definition but no picture: it loads without a texture.
    ASSERT_NE(data.object(3), nullptr);
    EXPECT_EQ(data.object(3)->sprite.getTexture(), nullptr);
    EXPECT_EQ(data.object(3)->message, testObjectMessage(3));
    EXPECT_EQ(data.object(2)->sprite.getTexture(), data.objectTexture(2));
}

TEST(ContentStore, DamagedImagesEndTheirSetLikeMissingOnes)
{
    const struct
    {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"empty", ""},
        {"not an image", "this is a text file\n"},
        {"png signature only", "\x89PNG\r\n\x1a\n"},
        {"huge header", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x06\0\0\0\0\0\0\0", 33)},
    };
    for (const auto& bad : damaged)
    {
        TestContent dir;
        dir.write("Texturen/FieldTextur3.png", bad.bytes);
        // A truncated copy of a real PNG, for the object textures.
        std::string good;
        {
            std::ifstream in(dir.file("Texturen/ObjectTextur1.png"), std::ios::binary);
            good.assign(std::istreambuf_iterator<char>(in), {});
        }
        dir.write("Texturen/ObjectTextur1.png", good.substr(0, good.size() / 2));
        dir.write("Texturen/UITextur.png", bad.bytes);
        std::ostringstream console;
        GameData data(dir.path(), &console);
        EXPECT_EQ(filledRun(data.fieldTextures), 3) << bad.what;
        EXPECT_EQ(filledRun(data.objectTextures), 1) << bad.what;
        EXPECT_EQ(data.uiTexture->getSize(), sf::Vector2u(0, 0)) << bad.what;
        EXPECT_EQ(consoleLines(console.str()).size(), 5u) << bad.what;
    }
}

TEST(ContentStore, StartsOnAnEmptyOrPartialTree)
{
    TempDir empty;
    std::ostringstream console;
    GameData data(empty.path(), &console);
    const std::vector<std::string> lines = consoleLines(console.str());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "---Objekte laden bei " + empty.path() + "/Objekte/Object0.object beendet");
    EXPECT_EQ(data.fieldTexture(5), nullptr);
    EXPECT_EQ(data.object(0), nullptr);
    EXPECT_EQ(data.playerTexture->getSize(), sf::Vector2u(0, 0));
}

TEST(ContentStore, LookupsNeverLeaveTheTables)
{
    TestContent dir;
    std::ostringstream console;
    GameData data(dir.path(), &console);
    for (int n : {-1, -2147483647 - 1, 8, ContentSetCapacity, 2147483647})
        EXPECT_EQ(data.fieldTexture(n), nullptr) << n;
    for (int n : {-1, 3, ContentSetCapacity})
    {
        EXPECT_EQ(data.object(n), nullptr) << n;
        EXPECT_EQ(data.objectTexture(n), nullptr) << n;
    }
    EXPECT_NE(data.object(2), nullptr);
}

TEST(ContentStore, ASetNeverGrowsPastItsLastSlot)
{
    // Item files 0..10000 all exist; the table ends at 9999 and the set's line
    // names number 10000.
    TestContent dir({8, 3, 3, 0, 0});
    std::filesystem::create_directories(dir.file("Items"));
    for (int n = 0; n <= ContentSetCapacity; ++n)
        std::ofstream(dir.file("Items/Item" + std::to_string(n) + ".Item")) << n;
    std::ostringstream console;
    GameData data(dir.path(), &console);
    EXPECT_EQ(filledRun(data.items), ContentSetCapacity);
    EXPECT_EQ(data.items[ContentSetCapacity - 1]->name, "9999");
    EXPECT_EQ(consoleLines(console.str()).back(),
              "---Items laden bei " + dir.path() + "/Items/Item10000.Item beendet");
}

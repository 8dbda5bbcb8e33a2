#include "TestContent.h"

#include "content/GameData.h"

#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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

// The length of the filled run from slot 0, or -1 when a later slot is filled too.
template <typename T>
int filledRun(const ContentTable<T>& table)
{
    int n = 0;
    while (n < ContentSetCapacity && table[static_cast<std::size_t>(n)])
        ++n;
    for (int i = n; i < ContentSetCapacity; ++i)
        if (table[static_cast<std::size_t>(i)])
            return -1;
    return n;
}

// The console line that ends set `label` at `relative`.
std::string endLine(const std::string& root, const std::string& label, const std::string& relative)
{
    return "---" + label + " laden bei " + root + "/" + relative + " beendet";
}
} // namespace

TEST(ContentStore, PrintsOneLinePerSetInLoadOrder)
{
    TestContent dir;
    std::ostringstream console, errors;
    GameData data(dir.path(), &console, nullptr, &errors);
    EXPECT_EQ(errors.str(), "") << "a missing file ends its set without a word";
    const std::string& r = dir.path();
    EXPECT_EQ(consoleLines(console.str()),
              (std::vector<std::string>{endLine(r, "Texturen", "Texturen/FieldTextur8.png"),
                                        endLine(r, "Object Texturen", "Texturen/ObjectTextur3.png"),
                                        endLine(r, "Objekte", "Objekte/Object3.object"),
                                        endLine(r, "Item Texturen", "Items/ItemTextur2.png"),
                                        endLine(r, "Items", "Items/Item2.Item")}));
    EXPECT_EQ(filledRun(data.fieldTextures), 8);
    EXPECT_EQ(filledRun(data.objects), 3);
    for (int type = 0; type < 8; ++type)
        EXPECT_FALSE(data.fieldTextures[static_cast<std::size_t>(type)]->isSmooth());
    EXPECT_EQ(data.playerTexture->getSize(), sf::Vector2u(32, 256));
    // Lookups never leave the tables.
    for (int n : {-1, -2147483647 - 1, 8, ContentSetCapacity, 2147483647})
        EXPECT_EQ(data.fieldTexture(n), nullptr) << n;
    for (int n : {-1, 3, ContentSetCapacity})
        EXPECT_TRUE(data.object(n) == nullptr && data.objectTexture(n) == nullptr) << n;
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
    EXPECT_EQ(consoleLines(console.str()),
              (std::vector<std::string>{endLine(r, "Texturen", "Texturen/FieldTextur12.png"),
                                        endLine(r, "Object Texturen", "Texturen/ObjectTextur3.png"),
                                        endLine(r, "Objekte", "Objekte/Object4.object"),
                                        endLine(r, "Item Texturen", "Items/ItemTextur0.png"),
                                        endLine(r, "Items", "Items/Item2.Item")}));
    EXPECT_EQ(filledRun(data.fieldTextures), 12);
    EXPECT_EQ(filledRun(data.objectTextures), 3);
    EXPECT_EQ(filledRun(data.objects), 4);
    EXPECT_EQ(filledRun(data.itemTextures), 0);
    EXPECT_EQ(filledRun(data.items), 2);
    EXPECT_EQ(data.items[1]->name, "Item 1"); // only the first line
    // Object 3 has a definition but no picture: it loads without a texture.
    ASSERT_NE(data.object(3), nullptr);
    EXPECT_EQ(data.object(3)->sprite.getTexture(), nullptr);
    EXPECT_EQ(data.object(3)->message, testObjectMessage(3));
    EXPECT_EQ(data.object(2)->sprite.getTexture(), data.objectTexture(2));

    // An empty tree starts too, with every set empty.
    TempDir empty;
    std::ostringstream emptyConsole;
    GameData nothing(empty.path(), &emptyConsole);
    EXPECT_EQ(consoleLines(emptyConsole.str()).at(2), endLine(empty.path(), "Objekte", "Objekte/Object0.object"));
    EXPECT_EQ(nothing.object(0), nullptr);
    EXPECT_EQ(nothing.playerTexture->getSize(), sf::Vector2u(0, 0));
}

TEST(ContentStore, DamagedImagesEndTheirSetLikeMissingOnes)
{
    const std::string damaged[] = {
        "", "this is a text file\n", "\x89PNG\r\n\x1a\n",
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x06\0\0\0\0\0\0\0", 33),
    };
    for (const std::string& bad : damaged)
    {
        TestContent dir;
        dir.write("Texturen/FieldTextur3.png", bad);
        dir.write("Texturen/UITextur.png", bad);
        // A truncated copy of a real PNG, for the object textures.
        const std::string good = readFile(dir.file("Texturen/ObjectTextur1.png"));
        dir.write("Texturen/ObjectTextur1.png", good.substr(0, good.size() / 2));
        std::ostringstream console, errors;
        GameData data(dir.path(), &console, nullptr, &errors);
        EXPECT_EQ(consoleLines(errors.str()).size(), 3u) << "one line for each refused file";
        EXPECT_EQ(filledRun(data.fieldTextures), 3) << bad.size();
        EXPECT_EQ(filledRun(data.objectTextures), 1) << bad.size();
        EXPECT_EQ(data.uiTexture->getSize(), sf::Vector2u(0, 0)) << bad.size();
    }
}

TEST(ContentStore, ASetNeverGrowsPastItsLastSlot)
{
    // Item files 0..10000 all exist; the table ends at 9999 and the set's line
    // names number 10000.
    TestContent dir({8, 3, 3, 0, 0});
    for (int n = 0; n <= ContentSetCapacity; ++n)
        dir.write("Items/Item" + std::to_string(n) + ".Item", std::to_string(n));
    std::ostringstream console;
    GameData data(dir.path(), &console);
    EXPECT_EQ(filledRun(data.items), ContentSetCapacity);
    EXPECT_EQ(data.items[ContentSetCapacity - 1]->name, "9999");
    EXPECT_EQ(consoleLines(console.str()).back(), endLine(dir.path(), "Items", "Items/Item10000.Item"));
}

TEST(ContentStore, AFileThatCannotBeUsedEndsItsSetWithOneLineOnStandardError)
{
    alarm(60); // a file that blocks the loader fails the test instead of hanging it
    // The test content's four single pictures and three field textures, decoded.
    constexpr std::size_t ThreeFields = (32 * 256 + 16 * 16 + 96 * 64 + 320 * 192 + 3 * 80 * 80) * 4;
    const struct
    {
        std::string file, make; // make: "fifo", "zero" (a link to /dev/zero), "big" (4 MiB + 1) or "" (as it is)
        std::size_t budget;
        std::string reason;
        int fields, objects, items; // filled run of each table
    } cases[] = {
        {"Texturen/FieldTextur3.png", "fifo", MaxContentImageBytes, "is not a regular file", 3, 3, 2},
        {"Texturen/FieldTextur3.png", "", ThreeFields,
         "80 x 80 pixels need 25600 bytes decoded, more than the 0 bytes left of the budget for decoded pictures", 3,
         3, 2},
        {"Objekte/Object1.object", "fifo", MaxContentImageBytes, "is not a regular file", 8, 1, 2},
        {"Objekte/Object1.object", "zero", MaxContentImageBytes, "is not a regular file", 8, 1, 2},
        {"Items/Item1.Item", "big", MaxContentImageBytes, "larger than 4 MiB", 8, 3, 1},
    };
    for (const auto& c : cases)
    {
        TestContent dir;
        dir.write("Items/Item0.Item", std::string(MaxDefinitionFileBytes, 'x')); // the largest that loads
        const std::string path = dir.file(c.file);
        if (!c.make.empty())
            std::filesystem::remove(path);
        if (c.make == "fifo")
            mkfifo(path.c_str(), 0600);
        if (c.make == "zero")
            std::filesystem::create_symlink("/dev/zero", path);
        if (c.make == "big")
            dir.write(c.file, std::string(MaxDefinitionFileBytes + 1, 'x'));

        std::ostringstream console, errors;
        GameData data(dir.path(), &console, nullptr, &errors, c.budget);
        EXPECT_EQ(consoleLines(console.str()).size(), 5u) << c.make;
        EXPECT_NE(console.str().find(" bei " + path + " beendet\n"), std::string::npos) << "its set ends there";
        ASSERT_FALSE(errors.str().empty()) << c.make;
        EXPECT_EQ(consoleLines(errors.str())[0], "--- Content Refused: " + path + ": " + c.reason);
        // (Past the budget every later picture is refused as well.)
        EXPECT_EQ(consoleLines(errors.str()).size() == 1, !c.make.empty()) << c.make;
        EXPECT_EQ(filledRun(data.fieldTextures), c.fields) << c.make;
        EXPECT_EQ(filledRun(data.objects), c.objects) << c.make;
        EXPECT_EQ(filledRun(data.items), c.items) << c.make;
    }
    alarm(0);
}

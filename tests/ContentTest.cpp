// The content store and the readers of its text files.

#include "TestContent.h"

#include "content/GameData.h"
#include "content/TextLines.h"
#include "world/ObjectBox.h"

#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// The length of the filled run from slot 0, or -1 when a later slot is filled too.
template <typename T>
int filledRun(const ContentTable<T>& table)
{
    const auto empty = [](const auto& slot) { return !slot; };
    const auto end = std::find_if(table.begin(), table.end(), empty);
    return std::all_of(end, table.end(), empty) ? int(end - table.begin()) : -1;
}
} // namespace

TEST(ContentStore, ASetEndsAtTheFirstNumberWithoutAUsableFileAndSaysWhere)
{
    TestContent dir({12, 5, 6, 0, 4});
    // Object texture 3, object 4 and item 2 are missing; later numbers exist.
    for (const char* gap : {"Texturen/ObjectTextur3.png", "Objekte/Object4.object", "Items/Item2.Item"})
        std::filesystem::remove(dir.file(gap));
    std::ostringstream console, errors;
    const GameData data(dir.path(), &console, nullptr, &errors);
    EXPECT_EQ(errors.str(), "") << "a missing file ends its set without a word";
    const std::string at = " laden bei " + dir.path() + "/";
    EXPECT_EQ(console.str(), "---Texturen" + at + "Texturen/FieldTextur12.png beendet\n---Object Texturen" + at +
                                 "Texturen/ObjectTextur3.png beendet\n---Objekte" + at +
                                 "Objekte/Object4.object beendet\n---Item Texturen" + at +
                                 "Items/ItemTextur0.png beendet\n---Items" + at + "Items/Item2.Item beendet\n");
    EXPECT_EQ(filledRun(data.fieldTextures), 12);
    EXPECT_EQ(filledRun(data.objectTextures), 3);
    EXPECT_EQ(filledRun(data.objects), 4);
    EXPECT_EQ(filledRun(data.items), 2);
    EXPECT_EQ(data.items[1]->name, "Item 1"); // only the first line
    // Object 3 has a definition but no picture: it loads without a texture.
    EXPECT_TRUE(!data.object(3)->sprite.getTexture() && data.object(3)->message == testObjectMessage(3));
    EXPECT_EQ(data.object(2)->sprite.getTexture(), data.objectTexture(2));
    for (int n : {-1, ContentSetCapacity, INT_MIN})
        EXPECT_TRUE(!data.fieldTexture(n) && !data.objectTexture(n) && !data.object(n)) << n;

    // An empty tree starts too, with every set empty.
    TempDir empty;
    const GameData nothing(empty.path(), &console);
    EXPECT_TRUE(!nothing.object(0) && nothing.playerTexture->getSize() == sf::Vector2u(0, 0));
}

TEST(ContentStore, DamagedImagesEndTheirSetLikeMissingOnes)
{
    const std::string hugeHeader("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x06\0\0\0\0\0\0\0",
                                 33);
    for (const std::string& bad : {std::string("this is a text file\n"), hugeHeader})
    {
        TestContent dir;
        dir.write("Texturen/FieldTextur3.png", bad);
        dir.write("Texturen/UITextur.png", bad);
        // A truncated copy of a real PNG, for the object textures.
        const std::string good = readFile(dir.file("Texturen/ObjectTextur1.png"));
        dir.write("Texturen/ObjectTextur1.png", good.substr(0, good.size() / 2));
        std::ostringstream console, errors;
        const GameData data(dir.path(), &console, nullptr, &errors);
        const std::string refused = errors.str();
        EXPECT_EQ(std::count(refused.begin(), refused.end(), '\n'), 3) << "one line for each refused file";
        EXPECT_EQ(filledRun(data.fieldTextures), 3) << bad.size();
        EXPECT_EQ(filledRun(data.objectTextures), 1) << bad.size();
        EXPECT_EQ(data.uiTexture->getSize(), sf::Vector2u(0, 0)) << bad.size();
    }
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
        EXPECT_NE(console.str().find(" bei " + path + " beendet\n"), std::string::npos) << "its set ends there";
        const std::string first = errors.str().substr(0, errors.str().find('\n'));
        EXPECT_EQ(first, "--- Content Refused: " + path + ": " + c.reason);
        EXPECT_EQ(filledRun(data.fieldTextures), c.fields) << c.make;
        EXPECT_EQ(filledRun(data.objects), c.objects) << c.make;
        EXPECT_EQ(filledRun(data.items), c.items) << c.make;
    }
    alarm(0);
}

TEST(ObjectDefinition, ReadsTheEightLinesAndPlacesPictureAndBox)
{
    const ObjectDefinitionLines lines = parseObjectDefinition("2\r\n3\n8\r\n4\n10\n8\n1\n  A tall tree \r\nignored\n");
    EXPECT_EQ(lines.message, "  A tall tree "); // leading blanks kept, CR dropped
    const ObjectType tree = makeObjectDefinition(7, nullptr, lines);
    EXPECT_EQ(tree.sprite.getTextureRect(), sf::IntRect(0, 0, 32, 48));
    EXPECT_EQ(tree.sprite.getOrigin(), sf::Vector2f(16, 32));
    EXPECT_EQ(objectBoxAt(tree, {160, 96}), sf::IntRect(148, 72, 24, 38));
    // Fractions are truncated toward zero.
    EXPECT_EQ(objectBoxAt(tree, {-0.5f, 10.75f}), sf::IntRect(-12, -13, 24, 38));
    const ObjectType zero = makeObjectDefinition(0, nullptr, parseObjectDefinition("1\n1"));
    EXPECT_TRUE(zero.collisionRect == sf::IntRect(0, 0, 16, 16) && zero.message.empty());
}

TEST(TextLines, ReadsLeadingIntegersLikeAtoiAndSaysWhatFollowed)
{
    using S = NumberStatus;
    const struct { const char* text; int value; NumberStatus status; } cases[] = {
        {"\t\v\f\r -3", -3, S::Ok},       {"+4", 4, S::Ok},          {"-1184.5", -1184, S::TrailingText},
        {" 12 \t", 12, S::Ok},            {"12 x", 12, S::TrailingText},
        {"", 0, S::NoNumber},             {"- 5", 0, S::NoNumber},   {"2147483647", INT_MAX, S::Ok},
        {"-2147483648", INT_MIN, S::Ok},  {"2147483648", INT_MAX, S::OutOfRange},
        {"-99999999999999999999999x", INT_MIN, S::OutOfRange},      {"000000000000000000000042", 42, S::Ok},
    };
    for (const auto& c : cases)
    {
        const NumberRead read = readNumber(c.text);
        EXPECT_TRUE(read.value == c.value && read.status == c.status) << '"' << c.text << '"';
    }
}

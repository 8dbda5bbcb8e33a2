#include "TestContent.h"

#include "app/Game.h"
#include "content/GameData.h"
#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "mapfile/SafeFileWriter.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
class MapFile : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = new TestContent();
        std::ostringstream console;
        content = new GameData(dir->path(), &console);
    }
    static void TearDownTestSuite()
    {
        delete content;
        delete dir;
    }

    static TestContent* dir;
    static GameData* content;
    TempDir files;
};
TestContent* MapFile::dir = nullptr;
GameData* MapFile::content = nullptr;

MapFileChooser answer(const std::string& path)
{
    return [path](FileDialogPurpose) { return path; };
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void expectSameStoredValues(const FieldMap& a, const FieldMap& b)
{
    for (int i = 0; i < FieldCount; ++i)
    {
        const Field& x = a.fields[static_cast<std::size_t>(i)];
        const Field& y = b.fields[static_cast<std::size_t>(i)];
        ASSERT_EQ(x.groundType, y.groundType) << "field " << i;
        ASSERT_EQ(x.underType, y.underType) << "field " << i;
        ASSERT_EQ(x.groundSprite.getTexture(), y.groundSprite.getTexture()) << "field " << i;
        ASSERT_EQ(x.underSprite.getTexture(), y.underSprite.getTexture()) << "field " << i;
        ASSERT_EQ(x.object->id, y.object->id) << "field " << i;
        ASSERT_EQ(x.object->message, y.object->message) << "field " << i;
        ASSERT_EQ(x.solid, y.solid) << "field " << i;
        ASSERT_EQ(x.groundSprite.getPosition(), y.groundSprite.getPosition()) << "field " << i;
        ASSERT_EQ(x.underSprite.getPosition(), y.underSprite.getPosition()) << "field " << i;
    }
}
} // namespace

TEST_F(MapFile, RoundTripOfAPaintedMap)
{
    FieldMap painted(content);
    for (int c = 0; c < MapSize; c += 7)
        for (int r = 0; r < MapSize; r += 3)
        {
            Field& field = painted.at(c, r);
            field.setGround((c + r) % 8, false);
            field.setGround((c * r) % 8, true);
            *field.object = *content->object((c + 2 * r) % 3);
            field.solid = (c + r) % 2 == 0;
        }
    // Near the view after the scroll below: a tree and a solid field.
    *painted.at(80, 25).object = *content->object(2);
    painted.at(81, 26).solid = true;
    painted.scroll(-1184, -352);
    painted.refresh();
    const std::string before = formatMap(painted);

    const std::string path = files.file("painted.txt");
    ASSERT_EQ(saveMap(painted, answer(path)).status, MapFileResult::Status::Complete);
    EXPECT_EQ(formatMap(painted), before); // saving leaves the map alone
    const std::string saved = readAll(path);
    EXPECT_EQ(saved, before);
    EXPECT_EQ(saved.substr(saved.size() - 12), "\n-1184\n-352\n");

    FieldMap loaded(content);
    const MapFileResult result = loadMap(loaded, answer(path));
    ASSERT_EQ(result.status, MapFileResult::Status::Complete) << result.reason;
    expectSameStoredValues(painted, loaded);
    EXPECT_EQ(loaded.origin(), sf::Vector2f(-1184, -352));
    EXPECT_EQ(loaded.at(3, 2).groundSprite.getPosition(), sf::Vector2f(16 * 3 - 1184, 16 * 2 - 352));

    // Everything derived follows at the next refresh.
    loaded.refresh();
    for (int i = 0; i < FieldCount; ++i)
    {
        const Field& x = painted.fields[static_cast<std::size_t>(i)];
        const Field& y = loaded.fields[static_cast<std::size_t>(i)];
        ASSERT_EQ(x.collisionRect, y.collisionRect) << "field " << i;
        // A copy of definition 0 counts as no object, placed or not.
        const bool shown = x.object->present && x.object->id != 0;
        ASSERT_EQ(shown, y.object->present && y.object->id != 0) << "field " << i;
        if (shown)
        {
            ASSERT_EQ(x.object->sprite.getPosition(), y.object->sprite.getPosition()) << "field " << i;
            ASSERT_EQ(x.object->collisionRect, y.object->collisionRect) << "field " << i;
        }
    }
    EXPECT_EQ(loaded.at(81, 26).collisionRect, sf::IntRect(81 * 16 - 1184, 26 * 16 - 352, 16, 16));
    EXPECT_TRUE(loaded.at(80, 25).object->present);
    EXPECT_EQ(loaded.at(80, 25).object->sprite.getPosition(), sf::Vector2f(80 * 16 - 1184, 25 * 16 - 352));

    // Saved again unchanged: the same bytes.
    const std::string again = files.file("again.txt");
    ASSERT_EQ(saveMap(loaded, answer(again)).status, MapFileResult::Status::Complete);
    EXPECT_EQ(readAll(again), saved);
}

TEST_F(MapFile, LoadingSetsStoredValuesAndLeavesTheRestToRefresh)
{
    FieldMap source(content);
    source.at(2, 2).setGround(3, false);
    source.at(2, 2).solid = true;
    *source.at(2, 2).object = *content->object(1);
    source.setOrigin(32, 48);
    const std::string path = files.file("map.txt");
    ASSERT_EQ(saveMap(source, answer(path)).status, MapFileResult::Status::Complete);

    FieldMap map(content);
    map.refresh();
    Field& field = map.at(2, 2);
    field.groundSprite.setTextureRect({16, 32, 16, 16});
    field.needsAutoTile = false;
    ASSERT_EQ(loadMap(map, answer(path)).status, MapFileResult::Status::Complete);

    EXPECT_EQ(field.groundType, 3);
    EXPECT_EQ(field.groundSprite.getTexture(), content->fieldTexture(3));
    EXPECT_EQ(field.groundSprite.getTextureRect(), sf::IntRect(16, 32, 16, 16)); // the piece stays
    EXPECT_TRUE(field.needsAutoTile);
    EXPECT_EQ(field.object->id, 1);
    EXPECT_EQ(field.object->message, testObjectMessage(1));
    EXPECT_TRUE(field.solid);
    EXPECT_EQ(field.groundSprite.getPosition(), sf::Vector2f(64, 80));
    // Collision rectangles are the next refresh's work.
    EXPECT_EQ(field.collisionRect, sf::IntRect());
    map.refresh();
    EXPECT_EQ(field.collisionRect, sf::IntRect(64, 80, 16, 16));
}

TEST_F(MapFile, RefusedFilesLeaveTheMapUnchanged)
{
    FieldMap source(content);
    const std::string good = formatMap(source);
    const auto replaceLine = [&](int lineNumber, const std::string& value) {
        std::string text = good;
        std::size_t start = 0;
        for (int i = 1; i < lineNumber; ++i)
            start = text.find('\n', start) + 1;
        text.replace(start, text.find('\n', start) - start, value);
        return text;
    };
    fs::create_directory(files.file("folder"));
    files.write("empty.txt", "");
    const struct
    {
        std::string file;
        std::string text; // written unless empty
        std::string reason;
    } cases[] = {
        {"missing.txt", "", "No such file or directory"},
        {"empty.txt", "", "the file ends after line 0, but a map has 160002 lines"},
        {"newlines.txt", std::string(500, '\n'), "line 1 holds no number"},
        {"field.txt", "5\n5\n0\n0\n", "the file ends after line 4, but a map has 160002 lines"},
        {"short.txt", good.substr(0, good.size() - 2), "the file ends after line 160001, but a map has 160002 lines"},
        {"letters.txt", replaceLine(1203, "abc"), "line 1203 holds no number"},
        {"blank.txt", replaceLine(1203, " \r"), "line 1203 holds no number"},
        {"huge.txt", replaceLine(7, "99999999999"), "line 7 holds a number out of range"},
        {"texture.txt", replaceLine(1, "8"), "line 1 names ground type 8, which has no field texture"},
        {"under.txt", replaceLine(802, "-1"), "line 802 names ground type -1, which has no field texture"},
        {"slots.txt", replaceLine(2, "10000"), "line 2 names ground type 10000, which has no field texture"},
        {"object.txt", replaceLine(3, "3"), "line 3 names object 3, which has no definition"},
        {"negative.txt", replaceLine(159999, "-2"), "line 159999 names object -2, which has no definition"},
        {"origin.txt", replaceLine(160002, "top"), "line 160002 holds no number"},
        {"farther.txt", replaceLine(160001, "-1000000"),
         "line 160001 holds the origin -1000000, which is farther than any map can be walked"},
        {"image.png", "\x89PNG\r\n\x1a\n", "line 1 holds no number"},
        {"folder", "", "Is a directory"},
    };

    FieldMap map(content);
    map.at(5, 6).setGround(2, false);
    map.at(5, 6).solid = true;
    *map.at(5, 6).object = *content->object(2);
    map.scroll(-48, 16);
    for (Field& field : map.fields)
        field.needsAutoTile = false;
    const std::string before = formatMap(map);

    for (const auto& c : cases)
    {
        if (!c.text.empty())
            files.write(c.file, c.text);
        const std::string path = files.file(c.file);
        const MapFileResult result = loadMap(map, answer(path));
        EXPECT_EQ(result.status, MapFileResult::Status::Failed) << c.file;
        EXPECT_EQ(result.reason, path + ": " + c.reason);
        EXPECT_EQ(formatMap(map), before) << c.file;
        EXPECT_EQ(map.at(5, 6).object->message, testObjectMessage(2)) << c.file;
        bool anyMarked = false;
        for (const Field& field : map.fields)
            anyMarked = anyMarked || field.needsAutoTile;
        EXPECT_FALSE(anyMarked) << c.file;
    }
}

TEST_F(MapFile, ResultsOfSaveAndLoad)
{
    FieldMap map(content);
    int asked = 0;
    FileDialogPurpose purpose = FileDialogPurpose::Load;
    const auto cancel = [&](FileDialogPurpose p) {
        ++asked;
        purpose = p;
        return std::string();
    };

    EXPECT_EQ(saveMap(map, cancel).status, MapFileResult::Status::Cancelled);
    EXPECT_EQ(purpose, FileDialogPurpose::Save);
    EXPECT_EQ(loadMap(map, cancel).status, MapFileResult::Status::Cancelled);
    EXPECT_EQ(purpose, FileDialogPurpose::Load);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(fs::is_empty(files.path()));

    // A name full of shell characters is just a name.
    const std::string odd = files.file("$(touch pwned); rm -rf 'x' \"y\" `z` & map.txt");
    EXPECT_EQ(saveMap(map, answer(odd)).status, MapFileResult::Status::Complete);
    EXPECT_EQ(readAll(odd).size(), 320004u);
    EXPECT_EQ(loadMap(map, answer(odd)).status, MapFileResult::Status::Complete);
    EXPECT_FALSE(fs::exists("pwned"));

}

TEST_F(MapFile, GameReportsTheOutcomeOnItsConsole)
{
    ManualTimeSource time;
    std::ostringstream console;
    Game game(GameOptions{dir->path(), false}, time, &console);
    const std::string path = files.file("game.txt");
    std::string chosen;
    game.chooseFile = [&](FileDialogPurpose) { return chosen; };

    InputState save;
    save.press(sf::Keyboard::F5);
    InputState load;
    load.press(sf::Keyboard::F10);
    const auto lastLine = [&]() {
        std::string text = console.str();
        text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    };

    chosen = path;
    game.map->at(40, 40).setGround(4, false);
    game.frame(&save);
    EXPECT_EQ(lastLine(), "--- Saving Complete");
    EXPECT_EQ(readAll(path), formatMap(*game.map));

    chosen = "";
    game.frame(&save);
    EXPECT_EQ(lastLine(), "--- Saving Cancelled");
    game.frame(&load);
    EXPECT_EQ(lastLine(), "--- Loading Cancelled");

    chosen = files.file("missing/game.txt");
    game.frame(&save);
    EXPECT_EQ(lastLine(), "--- Saving Failed: " + chosen +
                              ": No such file or directory (cannot create a temporary file beside it)");
    game.frame(&load);
    EXPECT_EQ(lastLine(), "--- Loading Failed: " + chosen + ": No such file or directory");

    game.map->at(40, 40).setGround(1, false);
    chosen = path;
    game.frame(&load);
    EXPECT_EQ(lastLine(), "--- Loading Complete");
    EXPECT_EQ(game.map->at(40, 40).groundType, 4);
}

#include "WorldFixture.h"

#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

// Whole map texts are compared with == : a failing EXPECT_EQ would try to
// print a line diff of two 160,002-line texts.
namespace
{
class MapFile : public WorldFixture
{
protected:
    TempDir files;
};

class MapFileInGame : public GameFixture
{
};

MapFileChooser answer(const std::string& path)
{
    return [path](FileDialogPurpose) { return path; };
}
} // namespace

TEST_F(MapFile, RoundTripSetsStoredValuesAndLeavesTheRestToRefresh)
{
    for (int c = 0; c < MapSize; c += 7)
        for (int r = 0; r < MapSize; r += 3)
        {
            map.setValues(c, r, {(c + r) % 8, (c * r) % 8, (c + 2 * r) % 3, (c + r) % 2 == 0});
        }
    map.scroll(-32, -48); // field (7, 6): ground 5 under 2, object 1; (7, 3) solid
    map.refresh();
    const std::string before = formatMap(map);
    const std::string path = files.file("painted.txt");
    ASSERT_EQ(saveMap(map, answer(path)).status, MapFileResult::Status::Complete);
    EXPECT_TRUE(formatMap(map) == before) << "saving leaves the map alone";
    EXPECT_TRUE(readFile(path) == before);

    FieldMap loaded(data.get());
    loaded.refresh();
    const sf::IntRect pieceBefore = loaded.at(7, 6).groundSprite.getTextureRect();
    const MapFileResult result = loadMap(loaded, answer(path));
    ASSERT_EQ(result.status, MapFileResult::Status::Complete) << result.reason;
    EXPECT_TRUE(formatMap(loaded) == before);
    for (std::size_t i = 0; i < map.fields().size(); ++i)
    {
        const Field& x = map.fields()[i];
        const Field& y = loaded.fields()[i];
        ASSERT_EQ(x.groundSprite.getTexture(), y.groundSprite.getTexture()) << i;
        ASSERT_EQ(x.underSprite.getTexture(), y.underSprite.getTexture()) << i;
        ASSERT_EQ(x.object.message(), y.object.message()) << i;
        ASSERT_EQ(x.underSprite.getPosition(), y.underSprite.getPosition()) << i;
        ASSERT_TRUE(y.needsAutoTile) << i;
    }
    EXPECT_EQ(loaded.at(7, 6).groundSprite.getTextureRect(), pieceBefore) << "the piece stays";
    EXPECT_EQ(loaded.at(7, 3).collisionRect, sf::IntRect()) << "collision rectangles are the next refresh's work";
    loaded.refresh();
    EXPECT_EQ(loaded.at(7, 3).collisionRect, sf::IntRect(80, 0, 16, 16));
}

TEST_F(MapFile, RefusedFilesLeaveTheMapUnchanged)
{
    const std::string good = formatMap(map);
    const auto replaceLine = [&](int lineNumber, const std::string& value) {
        std::string text = good;
        std::size_t start = 0;
        for (int i = 1; i < lineNumber; ++i)
            start = text.find('\n', start) + 1;
        return text.replace(start, text.find('\n', start) - start, value);
    };
    fs::create_directory(files.file("folder"));
    files.write("empty.txt", "");
    const struct { std::string file, text, reason; } cases[] = { // text written unless empty
        {"missing.txt", "", "No such file or directory"},
        {"empty.txt", "", "the file ends after line 0, but a map has 160002 lines"},
        {"newlines.txt", std::string(500, '\n'), "line 1 holds no number"},
        {"short.txt", good.substr(0, good.size() - 2), "the file ends after line 160001, but a map has 160002 lines"},
        {"letters.txt", replaceLine(1203, "abc"), "line 1203 holds no number"},
        {"blank.txt", replaceLine(1203, " \r"), "line 1203 holds no number"},
        {"huge.txt", replaceLine(7, "99999999999"), "line 7 holds a number out of range"},
        // What the writer never writes, and a reader would take as another number.
        {"trailing.txt", replaceLine(5, "5abc"), "line 5 holds more than a whole number"},
        {"hex.txt", replaceLine(6, "0x10"), "line 6 holds more than a whole number"},
        {"exponent.txt", replaceLine(7, "1e999"), "line 7 holds more than a whole number"},
        {"solid.txt", replaceLine(8, "7"), "line 8 holds the solid flag 7, which is neither 0 nor 1"},
        {"fraction.txt", replaceLine(160001, "-12.75"), "line 160001 holds more than a whole number"},
        {"texture.txt", replaceLine(1, "8"), "line 1 names ground type 8, which has no field texture"},
        {"under.txt", replaceLine(802, "-1"), "line 802 names ground type -1, which has no field texture"},
        {"slots.txt", replaceLine(2, "10000"), "line 2 names ground type 10000, which has no field texture"},
        {"object.txt", replaceLine(3, "3"), "line 3 names object 3, which has no definition"},
        {"negative.txt", replaceLine(159999, "-2"), "line 159999 names object -2, which has no definition"},
        {"origin.txt", replaceLine(160002, "top"), "line 160002 holds no number"},
        {"farther.txt", replaceLine(160001, "-1000000"),
         "line 160001 holds the origin -1000000, which is farther than any map can be walked"},
        {"folder", "", "Is a directory"},
    };
    map.setValues(5, 6, {2, 5, 2, true});
    map.scroll(-48, 16);
    map.refresh();
    const std::string before = formatMap(map);
    const std::uint64_t revision = map.revision();
    for (const auto& c : cases)
    {
        if (!c.text.empty())
            files.write(c.file, c.text);
        const std::string path = files.file(c.file);
        const MapFileResult result = loadMap(map, answer(path));
        EXPECT_EQ(result.status, MapFileResult::Status::Failed) << c.file;
        EXPECT_EQ(result.reason, path + ": " + c.reason);
        EXPECT_TRUE(formatMap(map) == before) << c.file;
        EXPECT_EQ(map.at(5, 6).object.message(), testObjectMessage(2)) << c.file;
        EXPECT_EQ(map.revision(), revision) << c.file;
    }
}

// Fields refer to their object's definition: a map full of an object whose
// message is a megabyte costs what any map costs, not 40,000 megabytes.
TEST(MapFileMemory, AMapFullOfAnObjectWithAHugeMessageCostsWhatAnyMapCosts)
{
    TestContent dir;
    const std::string message(1 << 20, 'm');
    dir.write("Objekte/Object1.object", "1\n1\n0\n0\n0\n0\n0\n" + message + "\n");
    std::ostringstream console;
    const GameData data(dir.path(), &console);
    FieldMap map(&data);
    std::string text;
    for (int i = 0; i < FieldCount; ++i)
        text += "5\n5\n1\n0\n";
    dir.write("full.map", text + "0\n0\n");
    static_assert(sizeof(PlacedObject) < 64, "a placed object holds no copy of its definition");
    // A copy per field would need 40 GB: the load would fail for memory.
    ASSERT_EQ(loadMap(map, answer(dir.file("full.map"))).status, MapFileResult::Status::Complete);
    map.refresh();
    EXPECT_TRUE(map.at(199, 199).object.message() == message);
}

TEST_F(MapFile, CancelAsksOnceAndNamesAreJustNames)
{
    std::vector<FileDialogPurpose> asked;
    const auto cancel = [&](FileDialogPurpose p) {
        asked.push_back(p);
        return std::string();
    };
    EXPECT_EQ(saveMap(map, cancel).status, MapFileResult::Status::Cancelled);
    EXPECT_EQ(loadMap(map, cancel).status, MapFileResult::Status::Cancelled);
    EXPECT_EQ(asked, (std::vector<FileDialogPurpose>{FileDialogPurpose::Save, FileDialogPurpose::Load}));
    EXPECT_TRUE(fs::is_empty(files.path()));

    const std::string odd = files.file("$(touch pwned); rm -rf 'x' \"y\" `z` & map.txt");
    EXPECT_EQ(saveMap(map, answer(odd)).status, MapFileResult::Status::Complete);
    EXPECT_EQ(readFile(odd).size(), 320004u);
    EXPECT_EQ(loadMap(map, answer(odd)).status, MapFileResult::Status::Complete);
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(MapFileInGame, OutcomesOnTheConsole)
{
    TempDir files;
    const std::string path = files.file("game.txt");
    std::string chosen;
    game.setFileChooser([&](FileDialogPurpose) { return chosen; });
    const InputState save = pressing({sf::Keyboard::F5}), load = pressing({sf::Keyboard::F10});
    const auto lastLine = [&]() {
        std::string text = console.str();
        text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    };

    chosen = path;
    map.paintGround(40, 40, 4, false);
    game.frame(&save);
    EXPECT_EQ(lastLine(), "--- Saving Complete");
    EXPECT_TRUE(readFile(path) == formatMap(game.map()));
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
    // A chooser that cannot ask, or that throws, is a failure with its reason.
    game.setFileChooser([](FileDialogPurpose) { return FileChoice::failed("no file dialog is available"); });
    game.frame(&save);
    EXPECT_EQ(lastLine(), "--- Saving Failed: no file dialog is available");
    game.setFileChooser([](FileDialogPurpose) -> FileChoice { throw std::runtime_error("gone"); });
    game.frame(&load);
    EXPECT_EQ(lastLine(), "--- Loading Failed: the file dialog failed: gone");
    game.setFileChooser([&](FileDialogPurpose) { return chosen; });

    map.paintGround(40, 40, 1, false);
    chosen = path;
    game.frame(&load);
    EXPECT_EQ(lastLine(), "--- Loading Complete");
    EXPECT_EQ(game.map().at(40, 40).groundType, 4);
}

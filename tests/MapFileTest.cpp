#include "WorldFixture.h"

#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"

#include <sys/stat.h>
#include <unistd.h>

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

using MapFileInGame = GameFixture;

MapFileChooser answer(const std::string& path)
{
    return [path](FileDialogPurpose) { return path; };
}

// `text` with line `lineNumber` (from 1) replaced by `value`.
std::string replaceLine(std::string text, int lineNumber, const std::string& value)
{
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i)
        start = text.find('\n', start) + 1;
    return text.replace(start, text.find('\n', start) - start, value);
}
} // namespace

TEST_F(MapFile, FourLinesPerFieldColumnByColumnThenTheOrigin)
{
    std::string expected;
    for (int i = 0; i < FieldCount; ++i)
        expected += i == 604 ? "6\n5\n2\n1\n" : "5\n5\n0\n0\n";
    map.setValues(3, 4, {6, 5, 2, true});
    map.setOrigin(-1184, -352);
    const std::string written = formatMap(map);
    EXPECT_TRUE(written == expected + "-1184\n-352\n");
    // Line ends mixed, blanks around a number, a sign: none changes what it says.
    std::string loose = replaceLine(replaceLine(written, 2417, "  6 \t\r"), 2420, "+1");
    loose = replaceLine(replaceLine(loose, 160001, "-1184 \r"), 160002, " -352");
    for (const std::string& text : {written.substr(0, written.size() - 1), written + "more\nlines\n", loose})
    {
        StoredMap stored;
        std::string error;
        ASSERT_TRUE(parseMap(text, *data, stored, error)) << error;
        EXPECT_EQ(stored.fields[FieldMap::index(3, 4)], (FieldValues{6, 5, 2, true}));
        EXPECT_EQ(std::pair(stored.originX, stored.originY), std::pair(-1184, -352));
        EXPECT_TRUE(formatMap(stored) == written) << "a stored map is written as the map it came from";
    }
    // Origins are written like printf's %g: from a million on, no longer in whole pixels.
    map.setOrigin(999999, -1e6f);
    EXPECT_TRUE(formatMap(map) == expected + "999999\n-1e+06\n");
}

TEST_F(MapFile, SavedMapsLoadBackWithEveryValue)
{
    for (int c = 0; c < MapSize; c += 7)
        for (int r = 0; r < MapSize; r += 3)
            map.setValues(c, r, {(c + r) % 8, (c * r) % 8, (c + 2 * r) % 3, (c + r) % 2 == 0});
    map.setOrigin(-32, -48);
    const std::string before = formatMap(map), path = files.file("painted.txt");
    ASSERT_EQ(saveMap(map, answer(path)).status, MapFileResult::Status::Complete);
    EXPECT_TRUE(readFile(path) == before);

    FieldMap loaded(*data);
    const MapFileResult result = loadMap(loaded, answer(path));
    ASSERT_EQ(result.status, MapFileResult::Status::Complete) << result.reason;
    EXPECT_TRUE(formatMap(loaded) == before);
    for (std::size_t i = 0; i < map.fields().size(); ++i)
    {
        const int c = int(i) / MapSize, r = int(i) % MapSize;
        ASSERT_TRUE(map.fields()[i].values() == loaded.fields()[i].values() && map.message(c, r) == loaded.message(c, r))
            << i;
    }
}

TEST_F(MapFile, RefusedFilesLeaveTheMapUnchanged)
{
    const std::string good = formatMap(map);
    fs::create_directory(files.file("folder"));
    files.write("empty.txt", "");
    ASSERT_EQ(mkfifo(files.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", files.file("zero"));
    alarm(60); // a file that blocks the reader fails the test instead of hanging it
    const struct { std::string file, text, reason; } cases[] = { // text written unless empty
        {"missing.txt", "", "No such file or directory"},
        {"folder", "", "is not a regular file"},
        {"pipe", "", "is not a regular file"},
        {"zero", "", "is not a regular file"},
        {"empty.txt", "", "the file ends after line 0, but a map has 160002 lines"},
        {"short.txt", good.substr(0, good.size() - 2), "the file ends after line 160001, but a map has 160002 lines"},
        {"letters.txt", replaceLine(good, 1203, " \r"), "line 1203 holds no number"},
        {"huge.txt", replaceLine(good, 7, "99999999999"), "line 7 holds a number out of range"},
        // What the writer never writes, and a lenient reader would take as another number.
        {"trailing.txt", replaceLine(good, 5, "5abc"), "line 5 holds more than a whole number"},
        {"hex.txt", replaceLine(good, 6, "0x10"), "line 6 holds more than a whole number"},
        {"exponent.txt", replaceLine(good, 7, "1e999"), "line 7 holds more than a whole number"},
        {"solid.txt", replaceLine(good, 8, "7"), "line 8 holds the solid flag 7, which is neither 0 nor 1"},
        {"fraction.txt", replaceLine(good, 160001, "-12.75"), "line 160001 holds more than a whole number"},
        {"ground.txt", replaceLine(good, 1, "8"), "line 1 names ground type 8, which has no field texture"},
        {"under.txt", replaceLine(good, 802, "-1"), "line 802 names ground type -1, which has no field texture"},
        {"object.txt", replaceLine(good, 159999, "3"), "line 159999 names object 3, which has no definition"},
        {"origin.txt", replaceLine(good, 160001, "-1000000"),
         "line 160001 holds the origin -1000000, which is farther than any map can be walked"},
    };
    map.setValues(5, 6, {2, 5, 2, true});
    map.setOrigin(-48, 16);
    const std::string before = formatMap(map);
    const std::uint64_t revision = map.revision();
    for (const auto& c : cases)
    {
        if (!c.text.empty())
            files.write(c.file, c.text);
        const MapFileResult result = loadMap(map, answer(files.file(c.file)));
        EXPECT_EQ(result.status, MapFileResult::Status::Failed) << c.file;
        EXPECT_EQ(result.reason, files.file(c.file) + ": " + c.reason);
        EXPECT_TRUE(formatMap(map) == before && map.revision() == revision) << c.file;
    }
    alarm(0);
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
    FieldMap map(data);
    std::string text;
    for (int i = 0; i < FieldCount; ++i)
        text += "5\n5\n1\n0\n";
    dir.write("full.map", text + "0\n0\n");
    static_assert(sizeof(Field) <= 8, "a field holds its values and its piece, no copy of its definition");
    // A copy per field would need 40 GB: the load would fail for memory.
    ASSERT_EQ(loadMap(map, answer(dir.file("full.map"))).status, MapFileResult::Status::Complete);
    map.refresh();
    EXPECT_TRUE(map.message(199, 199) == message);
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
    std::string chosen = files.file("game.txt");
    game.setFileChooser([&](FileDialogPurpose) { return chosen; });
    const auto press = [&](sf::Keyboard::Key key) {
        const InputState input = pressing({key});
        game.frame(&input);
        const std::string text = console.str();
        return text.substr(text.rfind('\n', text.size() - 2) + 1);
    };
    // Saving and loading through the keys are driven by the end-to-end test.
    chosen = "";
    EXPECT_EQ(press(sf::Keyboard::F5), "--- Saving Cancelled\n");
    chosen = files.file("missing/game.txt");
    EXPECT_EQ(press(sf::Keyboard::F10), "--- Loading Failed: " + chosen + ": No such file or directory\n");
    // A chooser that cannot ask, or that throws, is a failure with its reason.
    game.setFileChooser([](FileDialogPurpose) { return FileChoice::failed("no file dialog is available"); });
    EXPECT_EQ(press(sf::Keyboard::F5), "--- Saving Failed: no file dialog is available\n");
    game.setFileChooser([](FileDialogPurpose) -> FileChoice { throw std::runtime_error("gone"); });
    EXPECT_EQ(press(sf::Keyboard::F10), "--- Loading Failed: the file dialog failed: gone\n");
}

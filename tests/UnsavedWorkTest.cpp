// Unsaved changes through whole games: the mark, the recovery file written at
// quitting and by the autosave, offered, loaded and discarded at the next
// start, and two games at once.

#include "WorldFixture.h"

#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace
{
class UnsavedWork : public ::testing::Test
{
protected:
    std::unique_ptr<Game> start(double autosaveSeconds = DefaultAutosaveSeconds)
    {
        GameOptions options{dir.path(), false, false};
        options.stateFolder = state.path();
        options.autosaveSeconds = autosaveSeconds;
        return std::make_unique<Game>(options, time, &console);
    }
    static void press(Game& game, const Keys& keys)
    {
        const InputState in = pressing(keys);
        game.frame(&in);
        game.frame(); // and let go
    }
    std::string file(int slot) const { return recoveryFilePath(state.path(), slot); }
    // The map text of a recovery file, once the worker has written it.
    std::string waitForMap(Game& game, int slot)
    {
        for (int i = 0; i < 500 && !fs::exists(file(slot)); ++i)
        {
            game.frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        game.frame();
        const std::string text = readFile(file(slot));
        RecoveryContents contents;
        std::string error;
        EXPECT_TRUE(parseRecovery(text, contents, error)) << error;
        return std::string(contents.mapText);
    }
    bool markShown(const Game& game) const
    {
        return game.sceneImage().getPixel(315, 3) == UnsavedMarkFill;
    }

    TestContent dir;
    TempDir state;
    ManualTimeSource time;
    std::ostringstream console;
};
} // namespace

TEST_F(UnsavedWork, QuittingKeepsItAndTheNextStartOffersIt)
{
    auto first = start();
    press(*first, {sf::Keyboard::W});
    EXPECT_FALSE(first->unsavedChanges()) << "walking is no change";
    EXPECT_FALSE(markShown(*first));
    first->worldForSetup().setObject(12, 7, 1);
    first->frame();
    EXPECT_TRUE(first->unsavedChanges());
    EXPECT_TRUE(markShown(*first));
    const std::string edited = formatMap(first->map());
    press(*first, {sf::Keyboard::Escape});
    EXPECT_FALSE(first->isOpen());
    EXPECT_NE(console.str().find("--- Unsaved changes kept in " + file(1)), std::string::npos) << console.str();
    first.reset();

    auto second = start();
    EXPECT_NE(console.str().find("--- Recovery: a map with changes that were not saved (a new map) is kept in " +
                                 file(1) + ". Press F9 to load it, Shift+F9 to discard it."),
              std::string::npos)
        << console.str();
    EXPECT_NE(second->hud().messageText().getString().toAnsiString().find("F9 loads it"), std::string::npos);
    EXPECT_FALSE(second->unsavedChanges());
    press(*second, {sf::Keyboard::F9});
    EXPECT_TRUE(formatMap(second->map()) == edited);
    EXPECT_TRUE(second->unsavedChanges()) << "recovered work is unsaved until saved";
    EXPECT_NE(console.str().find("--- Loading Complete"), std::string::npos);

    // The loaded recovery file is not the map's file: saving onto it, or
    // anywhere in the state folder, is refused and keeps it.
    for (const std::string& target : {file(1), state.path() + "/elsewhere.map"})
    {
        second->setFileChooser([&](FileDialogPurpose) { return FileChoice(target); });
        press(*second, {sf::Keyboard::F5});
        EXPECT_NE(console.str().find("--- Saving Failed: " + target + ": the game keeps"), std::string::npos);
        EXPECT_TRUE(second->unsavedChanges() && fs::exists(file(1)));
    }

    // Saving removes the recovery file; a clean quit writes none.
    TempDir maps;
    second->setFileChooser([&](FileDialogPurpose) { return maps.file("saved.map"); });
    press(*second, {sf::Keyboard::F5});
    EXPECT_FALSE(second->unsavedChanges());
    EXPECT_FALSE(markShown(*second));
    EXPECT_FALSE(fs::exists(file(1)));
    press(*second, {sf::Keyboard::Escape});
    second.reset();
    for (const auto& entry : fs::directory_iterator(state.path()))
        EXPECT_EQ(entry.path().extension(), ".lock") << entry.path();
}

TEST_F(UnsavedWork, AutosaveWaitsForItsIntervalAndGamesAtOnceKeepTheirOwnFiles)
{
    auto first = start();
    auto second = start(0.5);
    first->worldForSetup().setSolid(1, 1, true);
    second->worldForSetup().setSolid(2, 2, true);
    time.advance(sf::milliseconds(499));
    // A write begins on the frame's own thread: after the frame it is either
    // still running on the worker or its file is there.
    for (Game* game : {first.get(), second.get()})
    {
        game->frame();
        EXPECT_FALSE(game->lastProfile().autosaveWriting) << "too early";
    }
    EXPECT_FALSE(fs::exists(file(1)) || fs::exists(file(2))) << "too early";
    time.advance(sf::milliseconds(1));
    EXPECT_TRUE(waitForMap(*second, 2) == formatMap(second->map()));
    EXPECT_FALSE(fs::exists(file(1)));
    time.advance(sf::seconds(60));
    EXPECT_TRUE(waitForMap(*first, 1) == formatMap(first->map()));

    // A third game finds both files held by running games: nothing to offer.
    auto third = start();
    EXPECT_EQ(console.str().find("--- Recovery:"), std::string::npos);
    third.reset();
    // The second game ends without quitting (as if killed): its file is offered,
    // and discarding it removes it.
    second.reset();
    auto fourth = start();
    EXPECT_NE(console.str().find("is kept in " + file(2)), std::string::npos) << console.str();
    press(*fourth, {sf::Keyboard::LShift, sf::Keyboard::F9});
    EXPECT_FALSE(fs::exists(file(2)));
    EXPECT_TRUE(fs::exists(file(1)));
    EXPECT_FALSE(fourth->unsavedChanges());
}

TEST_F(UnsavedWork, QuittingAfterAnAutosaveKeepsTheLaterEdits)
{
    auto game = start(0.5);
    game->worldForSetup().setSolid(1, 1, true);
    time.advance(sf::milliseconds(500));
    EXPECT_TRUE(waitForMap(*game, 1) == formatMap(game->map()));
    game->worldForSetup().setObject(3, 3, 1);
    const std::string later = formatMap(game->map());
    press(*game, {sf::Keyboard::Escape});
    game.reset();
    RecoveryContents contents;
    std::string error;
    const std::string text = readFile(file(1));
    ASSERT_TRUE(parseRecovery(text, contents, error)) << error;
    EXPECT_TRUE(std::string(contents.mapText) == later);
}

TEST_F(UnsavedWork, OfTwoFilesLeftByEarlierGamesTheNewerIsOffered)
{
    for (int solidColumn : {1, 2})
    {
        auto game = start();
        game->worldForSetup().setSolid(solidColumn, 1, true);
        press(*game, {sf::Keyboard::Escape});
    }
    ASSERT_TRUE(fs::exists(file(1)) && fs::exists(file(2)));
    for (int newer : {1, 2})
    {
        SCOPED_TRACE(newer);
        const auto now = fs::file_time_type::clock::now();
        fs::last_write_time(file(newer), now);
        fs::last_write_time(file(3 - newer), now - std::chrono::hours(1));
        console.str("");
        auto game = start();
        EXPECT_NE(console.str().find("is kept in " + file(newer) + "."), std::string::npos) << console.str();
    }
}

TEST_F(UnsavedWork, OldFilesMakeRoomAndQuittingTakesTheNextFreePlace)
{
    // Eight files of games that ended: the newest is offered, the oldest (by
    // time, not number) is this game's, and stays until this game writes.
    const GameData content(dir.path(), &console);
    FieldMap map(content);
    for (int slot = 1; slot <= RecoverySlots; ++slot)
    {
        state.write("recovery-" + std::to_string(slot) + ".map", formatRecovery("", formatMap(map)));
        fs::last_write_time(file(slot), fs::file_time_type::clock::now() + std::chrono::minutes(slot == 4 ? -9 : slot));
    }
    Recovery ninth(state.path(), sf::seconds(60), time, console);
    EXPECT_EQ(ninth.offeredFile(), file(8));
    EXPECT_EQ(ninth.ownFile(), file(4));
    ninth.mapSaved();
    EXPECT_TRUE(fs::exists(file(4)));

    // The own place goes bad under a game: quitting keeps the map in the next free one.
    TempDir other;
    Recovery game(other.path(), sf::seconds(60), time, console);
    fs::create_directory(other.file("recovery-1.map"));
    map.setSolid(9, 9, true);
    EXPECT_TRUE(game.quit(map, true, ""));
    EXPECT_EQ(game.ownFile(), other.file("recovery-2.map"));
    EXPECT_TRUE(readFile(other.file("recovery-2.map")) == formatRecovery("", formatMap(map)));
}

TEST_F(UnsavedWork, EscapeStaysOpenOnceWhenTheChangesCannotBeKept)
{
    for (int slot = 1; slot <= RecoverySlots; ++slot)
        fs::create_directory(file(slot));
    auto game = start();
    game->worldForSetup().setSolid(4, 4, true);
    press(*game, {sf::Keyboard::Escape});
    EXPECT_TRUE(game->isOpen());
    EXPECT_NE(game->hud().messageText().getString().toAnsiString().find("NOT kept"), std::string::npos);
    press(*game, {sf::Keyboard::Escape});
    EXPECT_FALSE(game->isOpen());
    EXPECT_TRUE(game->unsavedWorkLost());
}

TEST_F(UnsavedWork, ContentWithoutTheNewMapsGroundTypeSaysSoAndLoadsWhatItSaved)
{
    const TestContent few(TestContentOptions{3, 3, 3});
    Game game(GameOptions{few.path(), false, false}, time, &console);
    EXPECT_NE(console.str().find("--- The content lacks ground type 5"), std::string::npos) << console.str();
    game.worldForSetup().paintGround(2, 2, 1, false);
    const std::string saved = formatMap(game.map());
    TempDir maps;
    game.setFileChooser([&](FileDialogPurpose) { return FileChoice(maps.file("few.map")); });
    press(game, {sf::Keyboard::F5});
    game.worldForSetup().paintGround(2, 2, 2, false);
    press(game, {sf::Keyboard::F10});
    EXPECT_TRUE(formatMap(game.map()) == saved) << console.str();
}

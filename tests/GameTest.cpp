// The whole game stepped frame by frame with scripted input and a manual clock.

#include "WorldFixture.h"
#include "WriteOutcome.h"

#include "app/ScreenCapture.h"
#include "mapfile/MapFormat.h"

#include <SFML/Graphics/Image.hpp>

#include <cmath>
#include <filesystem>

namespace
{
class GameTest : public GameFixture
{
protected:
    // One frame after `advanceMs`, with `held` keys and the mouse over the
    // middle of field (c, r), the left button down when `click`.
    void frame(int advanceMs, const Keys& held, int c = -10, int r = -10, bool click = false)
    {
        time.advance(sf::milliseconds(advanceMs));
        InputState input = pressing(held);
        const sf::Vector2f origin = game.map().origin(), scale = game.sceneScale();
        input.mousePosition = {int(std::lround((origin.x + 16.f * float(c) + 8.f) * scale.x)),
                               int(std::lround((origin.y + 16.f * float(r) + 8.f) * scale.y))};
        input.leftButton = click;
        game.frame(&input);
    }
    sf::Color scenePixel(unsigned x, unsigned y) const { return game.sceneImage().getPixel(x, y); }
};
} // namespace

TEST_F(GameTest, FirstFramesShowTheWorldAndThePlayer)
{
    EXPECT_EQ(game.sceneScale(), sf::Vector2f(3.375f, 3.75f));
    // Without focus events no key counts as held, whatever the X server's
    // keyboard says: frames without input leave the world where it was.
    for (int i = 0; i < 3; ++i)
        game.frame();
    EXPECT_EQ(game.map().origin(), sf::Vector2f(0, 0));
    // Interior pieces of grass, and the player on grass facing down: the frame at y = 128.
    EXPECT_EQ(scenePixel(40, 40), fieldPieceColor(5, 0, 0));
    EXPECT_EQ(scenePixel(155, 100), playerFrameColor(128));
    EXPECT_EQ(scenePixel(183, 81), playerFrameColor(128));
    EXPECT_EQ(scenePixel(151, 100), fieldPieceColor(5, 0, 0));
}

TEST_F(GameTest, EscapeFinishesTheFrameThenCloses)
{
    frame(0, {sf::Keyboard::Escape, sf::Keyboard::W});
    EXPECT_FALSE(game.isOpen());
    EXPECT_EQ(game.map().origin(), sf::Vector2f(0, 1)) << "the rest of the frame still ran";
}

TEST_F(GameTest, EditorPaintsAndTheHudFollowsWithinTheFrame)
{
    frame(200, {sf::Keyboard::E, sf::Keyboard::Num2}, 4, 4, true);
    EXPECT_FALSE(game.editor().active()) << "200 ms after start-up is not enough";
    EXPECT_NE(scenePixel(12, 12), fieldPieceColor(0, 64, 64)) << "no palette without the editor";

    // E, a bigger brush and ground type 2, all in one frame.
    frame(1, {sf::Keyboard::E, sf::Keyboard::Add, sf::Keyboard::Num3}, 6, 8, true);
    ASSERT_TRUE(game.editor().active());
    EXPECT_EQ(game.hud().brushSizeText().getString().toAnsiString(), "Brush Size: 2");
    EXPECT_EQ(scenePixel(22, 12), fieldPieceColor(1, 64, 64)) << "the palette";
    // The plus sign around field (6, 8), retiled in the same frame: the right
    // arm open toward the middle only.
    EXPECT_EQ(game.map().at(7, 8).groundType(), 2);
    EXPECT_EQ(scenePixel(120, 136), fieldPieceColor(2, 16, 48)) << "the right arm";
    EXPECT_EQ(scenePixel(100, 132), sf::Color::Yellow) << "the cursor over the middle";

    // Ctrl + drag selects 2 x 2 fields, outlined over the cursor; a paste's
    // preview shows them half see-through over the map (the field under the
    // mouse is under the cursor, the one below it shows the plus sign's arm,
    // the one right of that an object).
    map.setObject(7, 9, 1);
    frame(1, {}, 6, 8);
    frame(1, {sf::Keyboard::LControl}, 6, 8, true);
    frame(1, {}, 7, 9, true);
    frame(1, {sf::Keyboard::LControl, sf::Keyboard::C}, 7, 9);
    EXPECT_EQ(scenePixel(96, 136), sf::Color::White) << "the selection's outline";
    frame(1, {sf::Keyboard::LControl, sf::Keyboard::V}, 12, 3);
    const auto halfOver = [this](int c, int r, sf::Color over) { // half the preview, half the grass
        const sf::Color shown = scenePixel(16 * c + 8, 16 * r + 8), under = fieldPieceColor(5, 0, 0);
        return std::abs(2 * shown.r - over.r - under.r) <= 4 && std::abs(2 * shown.g - over.g - under.g) <= 4 &&
               std::abs(2 * shown.b - over.b - under.b) <= 4;
    };
    EXPECT_TRUE(halfOver(13, 3, fieldPieceColor(2, 0, 0)) && halfOver(12, 4, fieldPieceColor(2, 0, 0)) &&
                halfOver(13, 4, objectColor(1)));
}

// What the capture shows is driven by the end-to-end test.
TEST_F(GameTest, ScreenCapturesAreOnePerPressNeverReplaceAFileAndReportEachFailedPress)
{
    TempDir work;
    const LocalTime time{5, 12, 2026, 14, 20, 7};
    EXPECT_EQ(screenCaptureName(time, 2), "ScreenCapture-5-12-2026-14-20-7-2.jpg");
    work.write(screenCaptureName(time), "mine");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    std::string written;
    EXPECT_EQ(writeOutcome(captureWindow(game.window(), time, {}, &written)), "");
    EXPECT_EQ(written, screenCaptureName(time, 2));
    EXPECT_EQ(readFile(work.file(screenCaptureName(time))), "mine");

    // Two presses, the first held over three frames: two captures.
    const auto press = [&](std::initializer_list<bool> frames) {
        for (bool held : frames)
        {
            const InputState in = held ? pressing({sf::Keyboard::F3}) : InputState();
            game.frame(&in);
        }
    };
    std::filesystem::create_directory(work.file("shots"));
    std::filesystem::current_path(work.file("shots"));
    press({true, true, true, false, true, false});
    const auto files = std::distance(std::filesystem::directory_iterator(work.file("shots")),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(files, 2);

    // Nothing can be created in a removed working directory.
    std::filesystem::create_directory(work.file("gone"));
    std::filesystem::current_path(work.file("gone"));
    std::filesystem::remove(work.file("gone"));
    testing::internal::CaptureStderr();
    press({true, true, true, false, true});
    const std::string errors = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(previous);
    int lines = 0;
    for (std::size_t at = errors.find("Screen capture failed: "); at != std::string::npos;
         at = errors.find("Screen capture failed: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2) << errors;
}

TEST_F(GameTest, MapGivenAtStartLoadsAsTheLoadKeyDoes)
{
    TempDir maps;
    maps.write("bad.map", "5\n5\n");
    game.loadMapAtStart(maps.file("bad.map"));
    EXPECT_NE(console.str().find("--- Loading Failed: " + maps.file("bad.map") + ": the file ends after line 2"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(game.map().at(0, 0).groundType(), 5);

    map.setSolid(4, 4, true);
    map.setOrigin(-16, 0);
    const std::string text = formatMap(map);
    maps.write("good.map", text);
    map.setSolid(4, 4, false);
    game.loadMapAtStart(maps.file("good.map"));
    EXPECT_TRUE(formatMap(game.map()) == text);
    EXPECT_FALSE(game.unsavedChanges()) << "a loaded map is saved work";
}

TEST_F(GameTest, ALoadThatIsCancelledOrFailsKeepsTheUndoHistory)
{
    TempDir maps;
    maps.write("bad.map", "5\n");
    const std::string before = formatMap(game.map());
    frame(201, {sf::Keyboard::E});
    frame(1, {sf::Keyboard::Num3}, 4, 4, true);
    frame(1, {}, 4, 4);
    ASSERT_NE(formatMap(game.map()), before);
    for (const std::string& answer : {std::string(), maps.file("bad.map")})
    {
        game.setFileChooser([&](FileDialogPurpose) { return FileChoice(answer); });
        frame(1, {sf::Keyboard::F10});
        frame(1, {});
    }
    EXPECT_NE(console.str().find("--- Loading Cancelled"), std::string::npos) << console.str();
    frame(1, {sf::Keyboard::LControl, sf::Keyboard::Z});
    EXPECT_EQ(formatMap(game.map()), before) << "the painting is still undone";
}

#include "WorldFixture.h"

#include "app/ScreenCapture.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace
{
class ScreenCaptureTest : public GameFixture
{
};
} // namespace

TEST(ScreenCapture, NameHasPlainNumbersOfTheLocalTime)
{
    const std::tuple<LocalTime, int, const char*> cases[] = {
        {{5, 12, 2026, 14, 20, 7}, 1, "ScreenCapture-5-12-2026-14-20-7.jpg"},
        {{5, 12, 2026, 14, 20, 7}, 2, "ScreenCapture-5-12-2026-14-20-7-2.jpg"},
        {{31, 12, 2026, 23, 59, 59}, 1, "ScreenCapture-31-12-2026-23-59-59.jpg"},
        {{1, 1, 2000, 0, 0, 60}, 1, "ScreenCapture-1-1-2000-0-0-60.jpg"},
    };
    for (const auto& [time, counter, name] : cases)
        EXPECT_EQ(screenCaptureName(time, counter), name);
}

TEST_F(ScreenCaptureTest, F3CapturesEveryFrameAndNeverReplacesAFile)
{
    TempDir work;
    const LocalTime time{5, 12, 2026, 14, 20, 7};
    work.write(screenCaptureName(time), "mine");
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    const InputState in = pressing({sf::Keyboard::F3});
    for (int frame = 0; frame < 3; ++frame)
        game.frame(&in); // held: one capture per frame, even within one second
    std::string written;
    EXPECT_EQ(captureWindow(game.window(), time, &written), "");
    EXPECT_EQ(written, screenCaptureName(time, 2));
    fs::current_path(previous);
    EXPECT_EQ(readFile(work.file(screenCaptureName(time))), "mine");

    int captures = 0;
    for (const auto& entry : fs::directory_iterator(work.path()))
    {
        const std::string name = entry.path().filename().string();
        if (name == screenCaptureName(time))
            continue;
        EXPECT_EQ(name.rfind("ScreenCapture-", 0), 0u) << name;
        EXPECT_EQ(entry.path().extension(), ".jpg");
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(entry.path().string()));
        EXPECT_EQ(image.getSize(), sf::Vector2u(WindowWidth, WindowHeight));
        // The scaled scene: grass everywhere near the top-left corner.
        const sf::Color pixel = image.getPixel(100, 300), grass = fieldPieceColor(5, 0, 0);
        EXPECT_NEAR(pixel.r, grass.r, 12);
        EXPECT_NEAR(pixel.g, grass.g, 12);
        EXPECT_NEAR(pixel.b, grass.b, 12);
        ++captures;
    }
    EXPECT_EQ(captures, 4);
}

TEST_F(ScreenCaptureTest, AFailingCaptureIsReportedOncePerPress)
{
    TempDir work;
    fs::create_directory(work.file("gone"));
    const fs::path previous = fs::current_path();
    fs::current_path(work.file("gone"));
    fs::remove(work.file("gone")); // nothing can be created in a removed working directory
    testing::internal::CaptureStderr();
    for (bool held : {true, true, true, false, true})
    {
        const InputState in = held ? pressing({sf::Keyboard::F3}) : InputState();
        game.frame(&in);
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    fs::current_path(previous);
    const std::string line = "Screen capture failed: ";
    int lines = 0;
    for (std::size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
        ++lines;
    EXPECT_EQ(lines, 2) << errors;
    EXPECT_NE(errors.find("No such file or directory"), std::string::npos) << errors;
}

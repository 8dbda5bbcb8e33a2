#include "WorldFixture.h"

#include "app/ScreenCapture.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace
{
class ScreenCaptureTest : public GameFixture
{
protected:
    // Runs `frames` frames with F3 held (true) or not, in the working
    // directory `folder` (removed first when `removed`, so nothing can be
    // created in it); returns what they wrote on standard error.
    std::string capture(const std::string& folder, std::initializer_list<bool> frames, bool removed = false)
    {
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        if (removed)
            fs::remove(folder);
        testing::internal::CaptureStderr();
        for (bool held : frames)
        {
            const InputState in = held ? pressing({sf::Keyboard::F3}) : InputState();
            game.frame(&in);
        }
        fs::current_path(previous);
        return testing::internal::GetCapturedStderr();
    }
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

TEST_F(ScreenCaptureTest, F3WritesAJpegOfTheWindowEveryFrameAndNeverReplacesAFile)
{
    TempDir work;
    EXPECT_EQ(capture(work.path(), {true, true, true}), "");

    int captures = 0;
    for (const auto& entry : fs::directory_iterator(work.path()))
    {
        const std::string name = entry.path().filename().string();
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
    EXPECT_EQ(captures, 3) << "one file per frame, even within one second";

    // Names that are taken, by files or anything else, stay as they are.
    const LocalTime time{5, 12, 2026, 14, 20, 7};
    work.write(screenCaptureName(time), "mine");
    fs::create_directory(work.file(screenCaptureName(time, 2)));
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    std::string written;
    EXPECT_EQ(captureWindow(game.window(), time, &written), "");
    fs::current_path(previous);
    EXPECT_EQ(written, screenCaptureName(time, 3));
    EXPECT_EQ(readFile(work.file(screenCaptureName(time))), "mine");
}

TEST_F(ScreenCaptureTest, AFailingCaptureIsReportedOncePerPress)
{
    TempDir work;
    fs::create_directory(work.file("gone"));
    const std::string errors = capture(work.file("gone"), {true, true, true, false, true}, true);
    const std::string line = "Screen capture failed: ScreenCapture-";
    std::size_t first = errors.find(line), second = errors.find(line, first + 1);
    EXPECT_NE(second, std::string::npos) << errors;
    EXPECT_EQ(errors.find(line, second + 1), std::string::npos) << errors;
    EXPECT_NE(errors.find("No such file or directory"), std::string::npos) << errors;
}

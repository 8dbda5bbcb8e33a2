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
    const std::pair<LocalTime, const char*> cases[] = {
        {{5, 12, 2026, 14, 20, 7}, "ScreenCapture-5-12-2026-14-20-7.jpg"},
        {{31, 12, 2026, 23, 59, 59}, "ScreenCapture-31-12-2026-23-59-59.jpg"},
        {{1, 1, 2000, 0, 0, 60}, "ScreenCapture-1-1-2000-0-0-60.jpg"},
    };
    for (const auto& [time, name] : cases)
        EXPECT_EQ(screenCaptureName(time), name);
}

TEST_F(ScreenCaptureTest, F3WritesAJpegOfTheWindowIntoTheWorkingDirectory)
{
    TempDir work;
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    const InputState in = pressing({sf::Keyboard::F3});
    game.frame(&in);
    game.frame(&in); // held: one capture per frame, the same name within a second
    fs::current_path(previous);

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
    EXPECT_GE(captures, 1);
    EXPECT_LE(captures, 2); // two only if the frames straddled a second

    testing::internal::CaptureStderr();
    EXPECT_FALSE(captureWindowTo(game.window(), dir.file("no/such/folder/shot.jpg")));
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("shot.jpg"), std::string::npos) << error;
}

// A game that reuses unchanged frames shows, after every frame, exactly the
// window pixels of a game that draws every frame in full.

#include "WorldFixture.h"

#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace
{
// The window's pixels, read back as a screenshot reads them.
sf::Image windowPixels(const Game& game)
{
    sf::Texture texture;
    const sf::Vector2u size = game.window().getSize();
    if (!texture.create(size.x, size.y))
        return {};
    texture.update(game.window());
    return texture.copyToImage();
}

// A hash of the pixels: a few hundred frames are told apart with no real
// chance of a collision.
std::size_t pixelHash(const sf::Image& image)
{
    const auto* pixels = reinterpret_cast<const char*>(image.getPixelsPtr());
    return std::hash<std::string_view>()({pixels, std::size_t(image.getSize().x) * image.getSize().y * 4});
}

// Frames of one kind in a row: what is held, where the mouse is (over the
// middle of field (c, r) of the map as it stands), the button, the time
// between frames.
struct Stretch
{
    int frames;
    Keys held;
    int c = 0, r = 0;
    bool click = false;
    int stepMs = 17;
    bool rightClick = false;
};

struct Played
{
    std::vector<std::size_t> frames; // the window's pixels after each frame
    int scenesReused = 0, windowsLeft = 0;
    int groundAfterLoad = -1;
};

// Plays the script on a fresh game, the only window of the process (a
// render texture draws in whichever window's context is current, so two
// games at once would read each other's pixels back).
Played play(const std::string& content, bool reuse)
{
    TempDir files;
    ManualTimeSource time;
    std::ostringstream console;
    GameOptions options{content, false, false};
    options.reuseUnchangedFrames = reuse;
    Game game(options, time, &console);
    game.setFileChooser([&files](FileDialogPurpose) { return files.file("map.txt"); });
    // Something to read above the player (who stands on field (10, 6)), a
    // tree nearby.
    game.worldForSetup().setObject(10, 5, 1);
    game.worldForSetup().setObject(13, 3, 2);

    using K = sf::Keyboard;
    const Stretch script[] = {
        {20, {}},                      // standing still
        {1, {K::F5}},                  // save: the window is made anew, twice
        {10, {}},
        {1, {K::W, K::Space}},         // a step up, and the object's message appears ...
        {7, {}, 0, 0, false, 300},     // ... and goes after two seconds
        {1, {K::Space}},               // and comes back
        {10, {}},
        {12, {K::D}},                  // walking
        {10, {}},
        {1, {K::W, K::S}},             // facing down without a step
        {10, {}},
        {1, {K::E}, 4, 4},             // the editor on, its cursor over a field
        {10, {}, 4, 4},
        {1, {K::LControl, K::Z}, 4, 4}, // a message, then another in its place with nothing else changed
        {3, {}, 4, 4},
        {1, {K::LControl, K::Y}, 4, 4},
        {3, {}, 4, 4},
        {5, {}, 7, 5},                 // the cursor follows the mouse
        {1, {K::Num2}, 7, 5, true},    // an edit, re-tiled around it
        {15, {K::Add}, 7, 5},          // a bigger brush: the HUD's text
        {1, {K::M}, 7, 5},             // the overview, the grid, an edit they show
        {5, {}, 8, 5},
        {1, {K::G}, 8, 5},
        {5, {}, 8, 6},
        {1, {K::Num3}, 8, 6, true},
        {1, {K::Tab}, 8, 6},           // the picker, opened and closed
        {5, {}, 8, 6},
        {1, {K::Tab}, 8, 6},
        {3, {}, 8, 6},
        {1, {K::LControl}, 6, 2, true}, // a selection with the tree dragged, copied and pasted
        {3, {K::LControl}, 13, 3, true},
        {3, {}, 13, 3},
        {1, {K::LControl, K::C}, 13, 3},
        {1, {K::LControl, K::V}, 9, 7}, // the preview follows the mouse and turns
        {4, {}, 10, 8},
        {1, {K::R}, 10, 8},
        {3, {}, 10, 8},
        {1, {}, 10, 8, true},
        {3, {}, 10, 8},
        {1, {K::LControl}, 10, 8, false, 17, true}, // the selection cleared
        {3, {}, 10, 8},
        {1, {K::E}, 7, 5},             // the editor off
        {10, {}},
        {1, {K::F10}},                 // the saved map back
        {40, {}},                      // standing still long enough for a full redraw
    };
    Played run;
    for (const Stretch& stretch : script)
    {
        for (int i = 0; i < stretch.frames; ++i)
        {
            time.advance(sf::milliseconds(stretch.stepMs));
            InputState input = pressing(stretch.held);
            const sf::Vector2f origin = game.map().origin();
            const sf::Vector2f scale = game.sceneScale();
            input.mousePosition = {int(std::lround((origin.x + 16.f * float(stretch.c) + 8.f) * scale.x)),
                                   int(std::lround((origin.y + 16.f * float(stretch.r) + 8.f) * scale.y))};
            input.leftButton = stretch.click;
            input.rightButton = stretch.rightClick;
            game.frame(&input);
            run.scenesReused += game.lastProfile().sceneDrawn ? 0 : 1;
            run.windowsLeft += game.lastProfile().presented ? 0 : 1;
            run.frames.push_back(pixelHash(windowPixels(game)));
        }
    }
    run.groundAfterLoad = game.map().at(7, 5).groundType();
    return run;
}
} // namespace

TEST(FrameReuse, ShowsTheSamePixelsAsDrawingEveryFrame)
{
    TestContent dir;
    const Played full = play(dir.path(), false);
    const Played reusing = play(dir.path(), true);
    EXPECT_EQ(full.scenesReused + full.windowsLeft, 0);
    ASSERT_EQ(full.frames.size(), reusing.frames.size());
    for (std::size_t i = 0; i < full.frames.size(); ++i)
        ASSERT_EQ(full.frames[i], reusing.frames[i]) << "frame " << i;
    EXPECT_EQ(reusing.groundAfterLoad, 5) << "the load took the edit back";
    // Most frames stood still, and some changed only the window's texts.
    EXPECT_GT(reusing.windowsLeft, int(full.frames.size()) / 2);
    EXPECT_GT(reusing.scenesReused, reusing.windowsLeft);
}

namespace
{
class DrawRevisionTest : public WorldFixture
{
protected:
    // Whether `step` leaves the map's drawing revision as it was.
    template <typename Step>
    bool unchanged(Step step)
    {
        const std::uint64_t before = map.drawRevision();
        step();
        return map.drawRevision() == before;
    }
};
} // namespace

TEST_F(DrawRevisionTest, CountsEveryChangeToWhatTheMapDraws)
{
    map.refresh();
    EXPECT_TRUE(unchanged([&] {
        map.scroll(0, 0);
        map.setSolid(3, 3, false);
        map.paintGround(3, 3, 5, false); // marked for tiling, but the same pieces come out
        map.refresh();
    }));
    EXPECT_FALSE(unchanged([&] { map.paintGround(3, 3, 2, false); }));
    EXPECT_FALSE(unchanged([&] { map.refresh(); })) << "the new pieces";
    EXPECT_FALSE(unchanged([&] { map.scroll(1, 0); }));
    EXPECT_FALSE(unchanged([&] { map.setObject(4, 4, 1); }));
    EXPECT_FALSE(unchanged([&] { map.setOrigin(0, 0); }));
}

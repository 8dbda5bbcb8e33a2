// The editor's wider views: their keys, what stays where across them, the
// mouse, the auto-tiling, the grid and the overview's outline in each, the setting.

#include "WorldFixture.h"

#include "platform/SettingsFile.h"
#include "world/AutoTile.h"

#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
using K = sf::Keyboard;
constexpr ViewZoom Views[] = {ViewZoom::Game, ViewZoom::Half, ViewZoom::Quarter};

class ZoomTest : public GameFixture
{
protected:
    // One frame with `held` keys, the mouse at window pixel `at`, `wheel`
    // notches turned; then, when `release`, one with everything let go.
    void tap(const Keys& held, sf::Vector2f at = {}, float wheel = 0, bool click = false, bool release = true)
    {
        time.advance(sf::milliseconds(201));
        InputState input = pressing(held);
        input.mousePosition = {int(std::lround(at.x)), int(std::lround(at.y))};
        input.wheelNotches = wheel;
        input.leftButton = click;
        game.frame(&input);
        if (release)
            tap({}, at, 0, false, false);
    }
    // Steps the editor's view to `zoom` with the keys, the editor on.
    void zoomTo(ViewZoom zoom)
    {
        if (!game.editor().active())
            tap({K::E});
        for (int i = 0; i < 3 && game.zoom() != zoom; ++i)
            tap({game.zoom() < zoom ? K::PageDown : K::PageUp});
        ASSERT_EQ(game.zoom(), zoom);
    }
    // The window pixel over scene point `p` in the view shown now.
    sf::Vector2f windowPoint(sf::Vector2f p) const
    {
        const float factor = float(zoomFactor(game.zoom()));
        const sf::Vector2f corner(game.map().viewCorner());
        return {(p.x - corner.x) * game.sceneScale().x / factor, (p.y - corner.y) * game.sceneScale().y / factor};
    }
    sf::Vector2f fieldCentre(int c, int r) const { return game.map().position(c, r) + sf::Vector2f(8, 8); }
    sf::Image windowImage() const
    {
        sf::Texture shown;
        EXPECT_TRUE(shown.create(1080, 720));
        shown.update(game.window());
        return shown.copyToImage();
    }
};
} // namespace

TEST_F(ZoomTest, KeysAndTheCtrlWheelStepTheViewAroundThePlayerAndBackExactly)
{
    map.setOrigin(-1000, -1200);
    map.paintGround(56, 84, 2, false); // at scene (-104, 144), left of the game's view
    tap({});
    const sf::Image before = game.sceneImage();
    const sf::Vector2i standing = game.player().standingField();
    const struct // a row: keys and wheel of one frame, the view after it
    {
        Keys keys;
        float wheel;
        ViewZoom view;
    } rows[] = {
        {{K::E, K::Num3}, 0, ViewZoom::Game}, // the editor starts in the game's view
        {{K::PageDown}, 0, ViewZoom::Half},      {{K::PageDown}, 0, ViewZoom::Quarter},
        {{K::PageDown}, 0, ViewZoom::Quarter},   {{K::PageUp}, 0, ViewZoom::Half}, // the widest stays
        {{K::LControl}, 1, ViewZoom::Game},      {{K::RControl}, -1, ViewZoom::Half}, // away from the user: closer
        {{K::LControl}, -0.5f, ViewZoom::Half},  {{K::LControl}, -0.5f, ViewZoom::Quarter}, // half a notch waits
        {{}, -1, ViewZoom::Quarter},             // without Ctrl the wheel steps the ground type
        {{K::E}, 0, ViewZoom::Game},             {{K::PageDown}, 0, ViewZoom::Game}, // editor off: the keys rest
        {{K::E}, 0, ViewZoom::Quarter},          // back on: its last view
    };
    for (const auto& row : rows)
    {
        const int ground = game.editor().choices().selectedGround;
        tap(row.keys, {}, row.wheel);
        const std::string name = "row " + std::to_string(&row - rows);
        EXPECT_EQ(game.zoom(), row.view) << name;
        const sf::IntRect area = zoomedView(row.view);
        EXPECT_EQ(sf::IntRect(game.map().viewCorner(), game.map().viewSize()), area) << name;
        EXPECT_EQ(game.map().origin(), sf::Vector2f(-1000, -1200)) << "the player stays on the same place";
        EXPECT_EQ(game.player().standingField(), standing);
        const int stepped = ground - (row.keys.empty() ? 1 : 0); // only the plain wheel steps the ground type
        EXPECT_TRUE(row.wheel == 0 || game.editor().choices().selectedGround == stepped) << name;
        // The world and the player, in scene pixels from the view's corner.
        const sf::Image scene = game.sceneImage();
        ASSERT_EQ(scene.getSize(), sf::Vector2u(unsigned(area.width), unsigned(area.height)));
        const auto at = [&](int x, int y) { return scene.getPixel(unsigned(x - area.left), unsigned(y - area.top)); };
        EXPECT_EQ(at(40, 150), fieldPieceColor(5, 0, 0)) << name;
        EXPECT_EQ(at(155, 100), playerFrameColor(128)) << name;
        if (row.view != ViewZoom::Game)
        {
            EXPECT_EQ(at(-120, 150), fieldPieceColor(5, 0, 0)) << name;
            EXPECT_NE(at(-96, 152), fieldPieceColor(5, 0, 0)) << name << ": the field painted there";
        }
    }
    tap({K::E});
    const sf::Image after = game.sceneImage();
    EXPECT_TRUE(std::equal(before.getPixelsPtr(), before.getPixelsPtr() + 320 * 192 * 4, after.getPixelsPtr()))
        << "the game's view draws as before";
}

TEST_F(ZoomTest, TheMouseActsOnTheFieldUnderItInEveryViewUpToTheMapsEdges)
{
    // The map's top-left corner, then its bottom-right one, inside every view.
    for (const sf::Vector2f origin : {sf::Vector2f(40, 24), sf::Vector2f(-3200 + 280, -3200 + 168)})
        for (const ViewZoom view : Views)
        {
            map.setOrigin(origin.x, origin.y);
            zoomTo(view);
            const bool low = origin.x > 0;
            const int edge = low ? 0 : MapSize - 1, beyond = low ? -1 : MapSize, row = low ? 2 : MapSize - 3;
            const std::pair<sf::Vector2f, std::optional<sf::Vector2i>> rows[] = {
                {fieldCentre(edge, edge), sf::Vector2i(edge, edge)},
                {fieldCentre(edge, 100), sf::Vector2i(edge, 100)}, // in the wider views only
                {game.map().position(0, 0) + sf::Vector2f(16.f * beyond + 8, 16.f * beyond + 8), std::nullopt},
            };
            for (const auto& [scene, field] : rows)
            {
                const sf::Vector2f at = windowPoint(scene);
                if (at.x < 0 || at.y < 0 || at.x >= 1080 || at.y >= 720)
                    continue;
                tap({}, at, 0, false, false);
                EXPECT_EQ(game.editor().hoveredField(), field) << zoomName(view) << " at " << at.x << "," << at.y;
                EXPECT_TRUE(!field || game.editor().cursor().getPosition() == game.map().position(field->x, field->y));
            }
            // A click paints the field under the mouse, and only that one; undo takes it back.
            tap({K::Num3}, windowPoint(fieldCentre(edge, row)), 0, true);
            EXPECT_EQ(game.map().at(edge, row).groundType(), 2) << zoomName(view);
            EXPECT_EQ(game.map().at(edge, low ? 3 : MapSize - 4).groundType(), DefaultGroundType);
            tap({K::LControl, K::Z});
            EXPECT_EQ(game.map().at(edge, row).groundType(), DefaultGroundType) << "undone";
        }
}

TEST_F(ZoomTest, EveryVisibleFieldShowsTheAutoTilingRulesPieceInTheQuarterViewAfterAWalk)
{
    const unsigned seed = 2024;
    std::printf("ground painted with seed %u\n", seed);
    TestRandom next(seed);
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
            if (next(3) == 0)
                map.paintGround(c, r, int(next(4)), false);
    map.setOrigin(-1600, -1600);
    zoomTo(ViewZoom::Quarter);
    for (int i = 0; i < 80; ++i)
        tap(i < 40 ? Keys{K::D, K::S} : Keys{K::A}, {}, 0, false, false);
    EXPECT_EQ(game.map().origin(), sf::Vector2f(-1600, -1640));
    const sf::FloatRect view(sf::Vector2f(game.map().viewCorner()), sf::Vector2f(game.map().viewSize()));
    int checked = 0;
    for (int c = 1; c < MapSize - 1; ++c)
        for (int r = 1; r < MapSize - 1; ++r)
            if (view.intersects(sf::FloatRect(game.map().position(c, r), {16, 16})))
            {
                ++checked;
                const int rule = autoTileKeyAt(c, r, [this](int nc, int nr) {
                    return GroundLayers{game.map().at(nc, nr).groundType(), game.map().at(nc, nr).underType()};
                });
                ASSERT_EQ(game.map().at(c, r).pieceKey(), rule) << c << "," << r;
            }
    EXPECT_EQ(checked, 80 * 49) << "80 x 48 fields, one row cut in two";
}

TEST_F(ZoomTest, TheOverviewOutlinesWhatEachViewShowsAndTheGridFollowsTheFields)
{
    map.setOrigin(-1000, -1200);
    tap({K::M});
    for (const ViewZoom view : Views)
    {
        zoomTo(view);
        const sf::Image window = windowImage();
        tap({K::G});
        const sf::Image grid = windowImage();
        tap({K::G});
        // The grid darkens the border left of field (70, 85), not its middle.
        const sf::Vector2f border = windowPoint(game.map().position(70, 85) + sf::Vector2f(0, 8));
        const sf::Vector2f middle = windowPoint(fieldCentre(70, 85));
        const auto differs = [&](sf::Vector2f p) {
            const unsigned x = unsigned(std::lround(p.x)), y = unsigned(p.y);
            return grid.getPixel(x, y) != window.getPixel(x, y);
        };
        EXPECT_TRUE(differs(border)) << zoomName(view);
        EXPECT_FALSE(differs(middle)) << zoomName(view);
        // The fields on screen, those cut by the view's edges among them.
        const sf::IntRect seen = zoomedView(view);
        const int left = (1000 + seen.left) / 16, top = (1200 + seen.top) / 16;
        const int right = (1000 + seen.left + seen.width + 15) / 16 - 1;
        const int bottom = (1200 + seen.top + seen.height + 15) / 16 - 1;
        const sf::FloatRect area = game.overview().bounds();
        const auto at = [&](int c, int r) { return window.getPixel(unsigned(area.left) + c, unsigned(area.top) + r); };
        for (const sf::Vector2i corner : {sf::Vector2i(left, top), {right, bottom}, {left, bottom}, {right, top}})
            EXPECT_EQ(at(corner.x, corner.y), OverviewViewColor) << zoomName(view) << " " << corner.x << "," << corner.y;
        EXPECT_NE(at(left - 1, top), OverviewViewColor) << zoomName(view);
        EXPECT_NE(at(right + 1, bottom), OverviewViewColor) << zoomName(view);
    }
}

TEST(ZoomSetting, TheSettingsFileChoosesTheEditorsFirstView)
{
    const std::tuple<const char*, std::optional<ViewZoom>, std::size_t> rows[] = {
        {"[editor]\nzoom = quarter\n", ViewZoom::Quarter, 0},
        {"[editor]\nzoom = half\nzoom = wide\n", ViewZoom::Half, 1},
        {"[editor]\nzoom = Game\n", std::nullopt, 1},
        {"[game]\nzoom = half\n", std::nullopt, 1},
    };
    for (const auto& [text, zoom, problems] : rows)
    {
        const Settings settings = readSettingsText(text, "settings.ini");
        EXPECT_EQ(settings.editorZoom, zoom) << text;
        EXPECT_EQ(settings.problems.size(), problems) << text;
    }
    TestContent dir;
    ManualTimeSource time;
    std::ostringstream console;
    GameOptions options{dir.path(), false, false};
    options.editorZoom = ViewZoom::Half;
    Game game(options, time, &console);
    for (const InputState& input : {pressing({K::E}), pressing({})})
        time.advance(sf::milliseconds(201)), game.frame(&input);
    EXPECT_EQ(game.zoom(), ViewZoom::Half) << "the editor starts in the half view";
}

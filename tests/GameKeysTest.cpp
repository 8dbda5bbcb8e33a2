// Quick save, full screen at will, and walking and editing with keys of the
// player's choosing or a gamepad, in the whole game and its parts.

#include "WorldFixture.h"

#include "editor/Editor.h"
#include "mapfile/MapFormat.h"
#include "platform/UserFolders.h"
#include "player/Player.h"

#include <fstream>
#include <iterator>

namespace
{
class GameKeysTest : public GameFixture
{
protected:
    void press(const Keys& held, sf::Vector2i mouse = {540, 360})
    {
        time.advance(sf::milliseconds(300));
        InputState input = pressing(held);
        input.mousePosition = mouse;
        game.frame(&input);
    }
    std::size_t count(const std::string& line) const
    {
        std::size_t n = 0;
        for (std::size_t at = console.str().find(line); at != std::string::npos; at = console.str().find(line, at + 1))
            ++n;
        return n;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

using K = sf::Keyboard;
} // namespace

TEST_F(GameKeysTest, CtrlSSavesToTheMapsOwnFileWithoutADialogAndAMapWithoutOneAsks)
{
    TempDir maps;
    int asked = 0;
    std::string start;
    game.setFileAsker([&](FileDialogPurpose purpose, const std::string& from) {
        ++asked;
        start = from;
        return FileChoice(purpose == FileDialogPurpose::Save ? maps.file("first.map") : std::string());
    });
    press({K::S}); // walking down, no saving
    EXPECT_EQ(asked, 0);
    press({K::LControl, K::S});
    EXPECT_EQ(asked, 1) << "a new map has no file: the dialog asks";
    EXPECT_EQ(start, dialogStartPath("", homeFolder()));
    EXPECT_EQ(count("--- Saving Complete\n"), 1u);

    map.setSolid(3, 3, true);
    press({K::RControl});
    press({K::RControl, K::S});
    press({K::RControl, K::S}); // held: once per press
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(count("--- Saving Complete\n"), 2u);
    // The fields as they are (the origin moved on: S still walks).
    const std::string saved = read(maps.file("first.map")), now = formatMap(game.map());
    EXPECT_TRUE(saved.substr(0, 4 * 40000 * 2) == now.substr(0, 4 * 40000 * 2));
    EXPECT_FALSE(game.unsavedChanges());

    press({K::F10});
    EXPECT_EQ(start, maps.file("first.map")) << "the dialog starts at the map's own file";
}

TEST_F(GameKeysTest, F11SwitchesFullScreenAndBackKeepingTheMapTheEditorAndTheMouseMapping)
{
    press({K::E});
    press({}, {200, 300});
    const std::optional<sf::Vector2i> hovered = game.editor().hoveredField();
    ASSERT_TRUE(hovered);
    const sf::Vector2f origin = game.map().origin();
    for (const bool fullScreen : {true, false})
    {
        press({K::F11}, {200, 300});
        EXPECT_EQ(game.fullScreen(), fullScreen);
        press({K::F11}, {200, 300}); // held: once per press
        EXPECT_EQ(game.fullScreen(), fullScreen);
        press({}, {200, 300});
        EXPECT_EQ(game.window().getSize(), sf::Vector2u(1080, 720));
        EXPECT_TRUE(game.editor().active());
        EXPECT_EQ(game.map().origin(), origin);
        EXPECT_EQ(game.editor().hoveredField(), hovered) << "the cursor stays under the mouse";
    }
    // The dialog leaves full screen and comes back to it.
    press({K::F11});
    game.setFileChooser([](FileDialogPurpose) { return FileChoice(); });
    press({K::F5});
    EXPECT_TRUE(game.fullScreen() && game.window().isOpen());
}

TEST(KeyBindings, ArrowsRebindingAndGamepadsWalkAndEdit)
{
    KeyBindings keys;
    std::string problem;
    keys.bind(KeyAction::WalkUp, *parseBinding("Z", problem));
    keys.bind(KeyAction::Editor, *parseBinding("F2, Pad1", problem));
    keys.bind(KeyAction::SolidMode, *parseBinding("J", problem));
    const sf::Vector2i still{0, 0};
    struct Row
    {
        const KeyBindings& keys;
        Keys held;
        GamepadState pad;
        sf::Vector2i step;
    };
    const KeyBindings& defaults = KeyBindings::defaults();
    GamepadState left;
    left.left = true;
    int number = 0;
    for (const Row& row : {Row{defaults, {K::Up}, {}, {0, 1}}, Row{defaults, {K::Right}, {}, {-1, 0}},
                           Row{defaults, {}, left, {1, 0}}, Row{keys, {K::W}, {}, still},
                           Row{keys, {K::Z}, {}, {0, 1}}, Row{keys, {K::Down}, {}, {0, -1}}})
    {
        Player player({1080, 720}, nullptr, 3.375f, 3.75f, row.keys);
        InputState input = pressing(row.held);
        input.pad = row.pad;
        EXPECT_EQ(player.walkStep(input), row.step) << "row " << number++;
    }

    ManualTimeSource time;
    Editor editor(nullptr, time, keys);
    const auto frame = [&](const Keys& held, std::uint32_t buttons = 0) {
        time.advance(sf::milliseconds(300));
        InputState input = pressing(held);
        input.pad.buttons = buttons;
        editor.update(input, nullptr, 1.f, 1.f);
    };
    frame({K::E});
    EXPECT_FALSE(editor.active());
    frame({K::F2});
    EXPECT_TRUE(editor.active());
    frame({K::I});
    EXPECT_EQ(editor.choices().mode, EditorMode::PaintGround);
    frame({K::J});
    EXPECT_EQ(editor.choices().mode, EditorMode::MarkSolid);
    frame({}, 1u << 1);
    EXPECT_FALSE(editor.active()) << "the gamepad's bound button";
}

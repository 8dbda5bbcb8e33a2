// Quick save, full screen at will, and keys of the player's choosing or a
// gamepad, in the whole game and in its parts.

#include "WorldFixture.h"

#include "editor/Editor.h"
#include "mapfile/MapFormat.h"
#include "platform/UserFolders.h"
#include "player/Player.h"

using K = sf::Keyboard;

namespace
{
class GameKeysTest : public GameFixture
{
protected:
    void press(const Keys& held, sf::Vector2i mouse = {200, 300})
    {
        time.advance(sf::milliseconds(300));
        InputState input = pressing(held);
        input.mousePosition = mouse;
        game.frame(&input);
    }
    int saves() const
    {
        const std::string text = console.str(), line = "--- Saving Complete";
        int n = 0;
        for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }
};
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
    press({K::S}); // walking down: no saving
    press({K::LControl, K::S});
    EXPECT_EQ(asked, 1) << "a new map has no file: the dialog asks";
    EXPECT_EQ(start, dialogStartPath("", homeFolder()));
    EXPECT_EQ(saves(), 1) << console.str();

    map.setSolid(3, 3, true);
    press({K::RControl});
    press({K::RControl, K::S});
    press({K::RControl, K::S}); // held: once per press
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(saves(), 2) << console.str();
    EXPECT_TRUE(readFile(maps.file("first.map")) == formatMap(game.map())) << "Ctrl+S is no step down";
    EXPECT_FALSE(game.unsavedChanges());

    press({K::F10});
    EXPECT_EQ(start, maps.file("first.map")) << "the dialog starts at the map's own file";
}

TEST_F(GameKeysTest, F11SwitchesFullScreenAndBackKeepingTheMapTheEditorAndTheMouseMapping)
{
    press({K::E});
    press({});
    const std::optional<sf::Vector2i> hovered = game.editor().hoveredField();
    const sf::Vector2f origin = game.map().origin();
    for (const bool fullScreen : {true, false})
    {
        press({K::F11});
        press({K::F11}); // held: once per press
        press({});
        EXPECT_EQ(game.fullScreen(), fullScreen);
        EXPECT_TRUE(game.window().getSize() == sf::Vector2u(1080, 720) && game.editor().active());
        EXPECT_EQ(game.map().origin(), origin);
        EXPECT_TRUE(hovered && game.editor().hoveredField() == hovered) << "the cursor stays under the mouse";
    }
    press({K::F11}); // the dialog leaves full screen and comes back to it
    game.setFileChooser([](FileDialogPurpose) { return FileChoice(); });
    press({K::F5});
    EXPECT_TRUE(game.fullScreen() && game.window().isOpen());
}

using KeyBindingsTest = WorldFixture;

TEST_F(KeyBindingsTest, ArrowsRebindingAndGamepadsWalkAndEdit)
{
    KeyBindings keys;
    std::string problem;
    keys.bind(KeyAction::WalkUp, *parseBinding("Z", problem));
    keys.bind(KeyAction::Editor, *parseBinding("F2, Pad1", problem));
    keys.bind(KeyAction::SolidMode, *parseBinding("J", problem));
    const KeyBindings& defaults = KeyBindings::defaults();
    struct Row
    {
        const KeyBindings& keys;
        Keys held;
        bool padLeft;
        sf::Vector2i step;
    };
    for (const Row& row : {Row{defaults, {K::Up}, false, {0, 1}}, Row{defaults, {}, true, {1, 0}},
                           Row{keys, {K::W}, false, {0, 0}}, Row{keys, {K::Z}, false, {0, 1}}})
    {
        Player player({1080, 720}, *data, 3.375f, 3.75f, row.keys);
        InputState input = pressing(row.held);
        input.pad.left = row.padLeft;
        EXPECT_EQ(player.walkStep(input), row.step) << ::testing::PrintToString(row.held);
    }

    ManualTimeSource time;
    Editor editor(*data, time, keys);
    struct Step
    {
        Keys held;
        std::uint32_t padButtons;
        bool active;
        EditorMode mode;
    };
    using M = EditorMode;
    for (const Step& step : {Step{{K::E}, 0, false, M::PaintGround}, Step{{K::F2}, 0, true, M::PaintGround},
                             Step{{K::I}, 0, true, M::PaintGround}, Step{{K::J}, 0, true, M::MarkSolid},
                             Step{{}, 1u << 1, false, M::MarkSolid}})
    {
        time.advance(sf::milliseconds(300));
        InputState input = pressing(step.held);
        input.pad.buttons = step.padButtons;
        editor.update(input, nullptr, 1.f, 1.f);
        EXPECT_TRUE(editor.active() == step.active && editor.choices().mode == step.mode)
            << ::testing::PrintToString(step.held) << " " << step.padButtons;
    }
}

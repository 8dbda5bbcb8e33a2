#include "TestContent.h"

#include "content/GameData.h"
#include "editor/Editor.h"
#include "hud/UI.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const sf::Color Background(1, 2, 3);

// `ui` drawn alone into a scene-sized texture, after taking `editor`.
sf::Image drawHud(UI& ui, const EditorChoices& editor)
{
    ui.update(editor);
    sf::RenderTexture scene;
    EXPECT_TRUE(scene.create(320, 192));
    scene.clear(Background);
    ui.draw(scene, editor);
    scene.display();
    return scene.getTexture().copyToImage();
}

class UITest : public ::testing::Test
{
protected:
    explicit UITest(const TestContentOptions& options = {})
        : dir(options), data(dir.path(), &console), ui(&data, sf::Vector2u(1080, 720), 3.375f, 3.75f, time)
    {
        editor.active = true;
    }

    sf::Image drawScene() { return drawHud(ui, editor); }

    std::ostringstream console;
    TestContent dir;
    GameData data;
    ManualTimeSource time;
    EditorChoices editor;
    UI ui;
};

class UIWithMissingContentTest : public UITest
{
protected:
    // Field textures 0..2, object picture 0 only, object definitions 0 and 1.
    UIWithMissingContentTest() : UITest(TestContentOptions{3, 1, 2}) {}
};
} // namespace

TEST_F(UITest, OnDrawsTheEditorsChoices)
{
    // Cells by their top-left corner in the UI texture; the preview's square part in pixels per side.
    struct Case { EditorMode mode; bool under; int ground, object; sf::Vector2i modeCell, layerCell; unsigned side; };
    const Case cases[] = {
        {EditorMode::PaintGround, false, 0, 0, {48, 0}, {32, 0}, 16},
        {EditorMode::PlaceObject, true, 3, 1, {48, 8}, {32, 8}, 16},
        {EditorMode::MarkSolid, false, 5, 2, {64, 0}, {32, 0}, 32},
    };
    for (const Case& c : cases)
    {
        editor = {true, c.mode, c.under, c.ground, c.object};
        const sf::Image scene = drawScene();
        SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(scene.getPixel(304, 184), uiPixel(0, 0));
        // Palette: the left 8 columns of each slot, except under the marker;
        // slots 6 and 7 show the loaded types 6 and 7, slot 8 type 0 again.
        for (unsigned k = 0; k < 9; ++k)
            EXPECT_EQ(scene.getPixel(10 + 8 * k + 3, 12),
                      int(k) == c.ground ? uiPixel(16, 0) : fieldPieceColor(k < 8 ? int(k) : 0, 64, 64))
                << "slot " << k;
        // Layer and mode indicators, 16 x 8 each.
        EXPECT_EQ(scene.getPixel(290, 8), uiPixel(c.layerCell.x, c.layerCell.y));
        EXPECT_EQ(scene.getPixel(305, 23), uiPixel(c.modeCell.x, c.modeCell.y));
        // The preview over the panel, both from the panel's corner.
        EXPECT_EQ(scene.getPixel(20, 16), objectColor(c.object));
        EXPECT_EQ(scene.getPixel(20 + c.side - 1, 16 + 15), objectColor(c.object));
        EXPECT_EQ(scene.getPixel(20 + c.side, 16), uiPixel(int(c.side), 16));
        EXPECT_EQ(scene.getPixel(67, 63), uiPixel(47, 63));
    }
}

TEST(UIPalette, SlotsShowTheLoadedTypesAndATypePastThemTakesTheLastSlot)
{
    // Content sets of 6, 9 and 11 ground types; the selected type, the types
    // slots 0..8 show, and the slot under the marker (-1: none).
    struct Case { int types, selected; std::array<int, 9> slots; int marked; };
    const Case cases[] = {
        {6, 5, {0, 1, 2, 3, 4, 5, 0, 0, 0}, 5},  {6, 7, {0, 1, 2, 3, 4, 5, 0, 0, 0}, -1},
        {9, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8}, 8},  {11, 10, {0, 1, 2, 3, 4, 5, 6, 7, 10}, 8},
        {11, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8}, 6},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.types << " types, " << c.selected << " selected");
        const TestContent dir(TestContentOptions{c.types, 3, 3});
        std::ostringstream console;
        const GameData data(dir.path(), &console);
        ManualTimeSource time;
        UI ui(&data, sf::Vector2u(1080, 720), 3.375f, 3.75f, time);
        EditorChoices editor{true, EditorMode::PaintGround, false, c.selected, 0};
        const sf::Image image = drawHud(ui, editor);
        // Each slot's left 8 columns show above the object panel, under the marker if it is there.
        for (unsigned k = 0; k < 9; ++k)
            EXPECT_EQ(image.getPixel(10 + 8 * k + 3, 12),
                      int(k) == c.marked ? uiPixel(16, 0) : fieldPieceColor(c.slots[k], 64, 64))
                << "slot " << k;
        EXPECT_EQ(image.getPixel(80, 20), fieldPieceColor(c.slots[8], 64, 64)) << "the last slot, beside the panel";
    }
}

TEST_F(UITest, MessageStaysForTwoSecondsAfterItsLastShowing)
{
    EXPECT_TRUE(ui.messageVisible()) << "open from construction, with an empty text";
    time.advance(sf::milliseconds(2000));
    EXPECT_FALSE(ui.messageVisible());
    ui.showMessage("Hello");
    time.advance(sf::microseconds(1999999));
    ui.showMessage("Hello"); // held Space: every frame starts the time again
    time.advance(sf::microseconds(1999999));
    EXPECT_TRUE(ui.messageVisible());
    time.advance(sf::microseconds(1));
    EXPECT_FALSE(ui.messageVisible());
}

TEST_F(UITest, MessageIsUtf8WhenValidElseLatin1)
{
    const std::pair<std::string, std::u32string> cases[] = {
        {"Gr\xC3\xBC\xC3\x9F" "e", U"Gr\u00FC\u00DFe"},          {"\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"\xED\xA0\x80", U"\u00ED\u00A0\u0080"},                    // a surrogate
        {"\xF4\x90\x80\x80", U"\u00F4\u0090\u0080\u0080"},          // beyond U+10FFFF
        {"\xC1\xBF", U"\u00C1\u00BF"}, {"\xE0\x80\xAF", U"\u00E0\u0080\u00AF"}, // overlong
        {"\xF0\x9F\x98", U"\u00F0\u009F\u0098"},                    // truncated
        {"\xC3\xBC\xFC", U"\u00C3\u00BC\u00FC"},                    // valid, then not: all Latin-1
    };
    for (const auto& [bytes, shown] : cases)
    {
        ui.showMessage(bytes);
        const std::basic_string<sf::Uint32> text = ui.messageText().getString().toUtf32();
        EXPECT_EQ(std::u32string(text.begin(), text.end()), shown) << bytes;
    }
}

TEST_F(UIWithMissingContentTest, MissingSlotsStayEmpty)
{
    for (int id : {2, 7, -1})
    {
        editor.selectedObject = id;
        const sf::Image scene = drawScene();
        EXPECT_EQ(scene.getPixel(21, 17), uiPixel(1, 17)) << "no preview for object " << id;
        // Slots 3..5 are empty; slot 2 shows through up to its own right edge.
        EXPECT_TRUE(scene.getPixel(41, 12) == fieldPieceColor(2, 64, 64) && scene.getPixel(45, 12) == Background);
    }
}

TEST_F(UITest, ALongMessageIsLaidOutOnlyAsFarAsTheWindowShowsIt)
{
    // Lines longer than the window, and more of them than fit below the text.
    std::string text;
    for (int line = 0; line < 6; ++line)
        text += std::string(200, char('a' + line)) + " \tW.i;\r\n";
    ui.showMessage(text);
    sf::Text whole = ui.messageText();
    whole.setString(text);
    sf::RenderTexture window;
    ASSERT_TRUE(window.create(1080, 720));
    sf::Image drawn[2];
    for (int i = 0; i < 2; ++i)
    {
        window.clear(Background);
        window.draw(i == 0 ? ui.messageText() : whole);
        window.display();
        drawn[i] = window.getTexture().copyToImage();
    }
    ASSERT_NE(drawn[1].getPixel(40, 690), Background) << "the text shows";
    EXPECT_TRUE(std::equal(drawn[0].getPixelsPtr(), drawn[0].getPixelsPtr() + 1080 * 720 * 4, drawn[1].getPixelsPtr()));
    EXPECT_LT(ui.messageText().getString().getSize(), text.size() / 2);
    // A megabyte on one line costs what the window can show.
    ui.showMessage(std::string(1 << 20, 'x'));
    EXPECT_LT(ui.messageText().getString().getSize(), 200u);
}

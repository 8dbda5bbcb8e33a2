#include "TestContent.h"

#include "content/GameData.h"
#include "editor/Editor.h"
#include "hud/UI.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const sf::Color Background(1, 2, 3);

class UITest : public ::testing::Test
{
protected:
    explicit UITest(const TestContentOptions& options = {})
        : dir(options), data(dir.path(), &console), ui(&data, sf::Vector2u(1080, 720), 3.375f, 3.75f, time)
    {
    }

    // The HUD drawn alone into a scene-sized texture.
    sf::Image drawScene()
    {
        sf::RenderTexture scene;
        EXPECT_TRUE(scene.create(320, 192, sf::ContextSettings()));
        scene.clear(Background);
        ui.draw(scene, editor);
        scene.display();
        return scene.getTexture().copyToImage();
    }

    std::ostringstream console;
    TestContent dir;
    GameData data;
    ManualTimeSource time;
    EditorChoices editor;
    UI ui;
};

// The test UI texture's colour at texture pixel (x, y).
sf::Color uiPixel(int x, int y)
{
    return uiCellColor(x / 16 * 16, y / 8 * 8);
}
} // namespace

TEST_F(UITest, TextsFollowTheBrushAndOnlyTheIndicatorShowsWhileOff)
{
    // The texts stand where the scene scale puts them.
    EXPECT_EQ(ui.brushSizeText().getString().toAnsiString(), "Brush Size: 1");
    EXPECT_EQ(ui.brushSizeText().getPosition(), sf::Vector2f(293.625f, 33.75f));
    EXPECT_EQ(ui.brushSizeText().getScale(), sf::Vector2f(0.5625f, 0.625f));
    EXPECT_EQ(ui.messageText().getPosition(), sf::Vector2f(27, 660));
    editor.active = true;
    for (int brush : {4, 2})
    {
        editor.brushSize = brush;
        ui.update(editor);
        EXPECT_EQ(ui.brushSizeText().getString().toAnsiString(), "Brush Size: " + std::to_string(brush));
    }

    // Switched off, nothing follows and only the indicator is drawn.
    editor.active = false;
    editor.brushSize = 3;
    ui.update(editor);
    EXPECT_EQ(ui.brushSizeText().getString().toAnsiString(), "Brush Size: 2");
    const sf::Image scene = drawScene();
    EXPECT_EQ(scene.getPixel(304, 184), uiPixel(0, 8));
    EXPECT_EQ(scene.getPixel(319, 191), uiPixel(15, 15));
    EXPECT_EQ(scene.getPixel(303, 184), Background);
    for (const sf::Vector2u point : {sf::Vector2u(12, 12), sf::Vector2u(295, 10), sf::Vector2u(295, 20),
                                     sf::Vector2u(30, 30)})
        EXPECT_EQ(scene.getPixel(point.x, point.y), Background) << point.x << ", " << point.y;
}

TEST_F(UITest, OnDrawsTheEditorsChoices)
{
    // Cells by their top-left corner in the UI texture; the preview's square part in pixels per side.
    struct Case
    {
        EditorMode mode;
        bool underLayer;
        int ground, object;
        sf::Vector2i modeCell, layerCell;
        unsigned objectSize;
    };
    const Case cases[] = {
        {EditorMode::PaintGround, false, 0, 0, {48, 0}, {32, 0}, 16},
        {EditorMode::PlaceObject, true, 3, 1, {48, 8}, {32, 8}, 16},
        {EditorMode::MarkSolid, false, 5, 2, {64, 0}, {32, 0}, 32},
    };
    editor.active = true;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(c.mode) << " ground " << c.ground);
        editor.mode = c.mode;
        editor.underLayer = c.underLayer;
        editor.selectedGround = c.ground;
        editor.selectedObject = c.object;
        ui.update(editor);
        const sf::Image scene = drawScene();
        EXPECT_EQ(scene.getPixel(304, 184), uiPixel(0, 0));
        // Palette: the left 8 columns of each slot, except under the marker; slot 8 whole.
        for (unsigned k = 0; k < 9; ++k)
        {
            const sf::Color expected =
                int(k) == c.ground ? uiPixel(16, 0) : fieldPieceColor(k < 6 ? int(k) : 0, 64, 64);
            EXPECT_EQ(scene.getPixel(10 + 8 * k + 3, 12), expected) << "slot " << k;
        }
        EXPECT_EQ(scene.getPixel(90, 12), Background);
        // Layer and mode indicators, 16 x 8 each.
        EXPECT_EQ(scene.getPixel(290, 8), uiPixel(c.layerCell.x, c.layerCell.y));
        EXPECT_EQ(scene.getPixel(305, 23), uiPixel(c.modeCell.x, c.modeCell.y));
        EXPECT_EQ(scene.getPixel(306, 16), Background);
        // The preview over the panel, both from the panel's corner.
        EXPECT_EQ(scene.getPixel(20, 16), objectColor(c.object));
        EXPECT_EQ(scene.getPixel(20 + c.objectSize - 1, 16 + 15), objectColor(c.object));
        EXPECT_EQ(scene.getPixel(20 + c.objectSize, 16), uiPixel(int(c.objectSize), 16));
        EXPECT_EQ(scene.getPixel(67, 63), uiPixel(47, 63));
    }
}

TEST_F(UITest, MessageStaysForTwoSeconds)
{
    EXPECT_TRUE(ui.messageVisible()) << "open from construction, with an empty text";
    time.advance(sf::milliseconds(2000));
    EXPECT_FALSE(ui.messageVisible()) << "2.0 s is over";

    ui.showMessage("Hello");
    EXPECT_EQ(ui.messageText().getString().toAnsiString(), "Hello");
    time.advance(sf::microseconds(1999999));
    ui.showMessage("Hello"); // held Space: every frame starts the window again
    time.advance(sf::microseconds(1999999));
    EXPECT_TRUE(ui.messageVisible());
    time.advance(sf::microseconds(1));
    EXPECT_FALSE(ui.messageVisible());
}

TEST_F(UITest, MessageIsUtf8WhenValidElseLatin1)
{
    struct Case { const char* name; std::string bytes; std::u32string shown; };
    const std::vector<Case> cases = {
        {"ASCII", "Ein Baum.", U"Ein Baum."},
        {"two-byte", "Gr\xC3\xBC\xC3\x9F" "e", U"Gr\u00FC\u00DFe"},
        {"three-byte", "\xE2\x82\xAC 5", U"\u20AC 5"},
        {"largest", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"last before surrogates", "\xED\x9F\xBF", U"\uD7FF"},
        {"NUL inside", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
        {"Latin-1 letter", "caf\xE9", U"caf\u00E9"},
        {"truncated four-byte", "\xF0\x9F\x98", U"\u00F0\u009F\u0098"},
        {"overlong two-byte", "\xC0\xAF", U"\u00C0\u00AF"},
        {"overlong C1", "\xC1\xBF", U"\u00C1\u00BF"},
        {"overlong three-byte", "\xE0\x80\xAF", U"\u00E0\u0080\u00AF"},
        {"overlong four-byte", "\xF0\x80\x80\xAF", U"\u00F0\u0080\u0080\u00AF"},
        {"surrogate", "\xED\xA0\x80", U"\u00ED\u00A0\u0080"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\u00F4\u0090\u0080\u0080"},
        {"F5 lead", "\xF5\x80\x80\x80", U"\u00F5\u0080\u0080\u0080"},
        {"stray continuation", "\x80x", U"\u0080x"},
        {"bad continuation", "\xC3\x41", U"\u00C3A"},
        {"valid then invalid: all Latin-1", "\xC3\xBC\xFC", U"\u00C3\u00BC\u00FC"},
    };
    for (const Case& c : cases)
    {
        ui.showMessage(c.bytes);
        const std::basic_string<sf::Uint32> shown = ui.messageText().getString().toUtf32();
        EXPECT_EQ(std::u32string(shown.begin(), shown.end()), c.shown) << c.name;
    }
}

class UIWithMissingContentTest : public UITest
{
protected:
    // Field textures 0..2, object picture 0 only, object definitions 0 and 1.
    UIWithMissingContentTest() : UITest(TestContentOptions{3, 1, 2}) {}
};

TEST_F(UIWithMissingContentTest, MissingSlotsStayEmpty)
{
    editor.active = true;
    for (int id : {1, 2, 0, 2, 7, -1})
    {
        SCOPED_TRACE(id);
        editor.selectedObject = id;
        ui.update(editor);
        const sf::Image scene = drawScene();
        EXPECT_EQ(scene.getPixel(21, 17), id == 0 ? objectColor(0) : uiPixel(1, 17));
        // Slots 3..5 are empty; slot 2 shows through up to its own right edge.
        EXPECT_EQ(scene.getPixel(41, 12), fieldPieceColor(2, 64, 64));
        EXPECT_EQ(scene.getPixel(45, 12), Background);
        EXPECT_EQ(scene.getPixel(62, 12), fieldPieceColor(0, 64, 64));
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

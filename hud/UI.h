#pragma once

#include "platform/FrameKey.h"
#include "platform/TimeSource.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <array>
#include <string>

namespace sf
{
class RenderTarget;
}

class GameData;
struct EditorChoices;

constexpr float MessageDuration = 2.0f;    // seconds a message stays after its last showMessage
constexpr int PaletteSlots = 9;            // ground palette slots: slot k shows ground type k where it is loaded
constexpr int PaletteGroundTypes = 6;      // slots that show their own ground type always; 6..8 show type 0 where theirs is not loaded
constexpr float HudTextScaleDivisor = 6.f; // the brush-size text is scaled by scene scale / this

// A rectangle of texture pixels (left, top, width, height), as a constant.
struct HudCell
{
    int left, top, width, height;

    sf::IntRect rect() const { return {left, top, width, height}; }
};

// Cells of the UI texture.
constexpr HudCell EditorOnCell{0, 0, 16, 8};
constexpr HudCell EditorOffCell{0, 8, 16, 8};
constexpr HudCell GroundMarkerCell{16, 0, 8, 8};
constexpr HudCell GroundLayerCell{32, 0, 16, 8};
constexpr HudCell UnderLayerCell{32, 8, 16, 8};
constexpr HudCell PaintModeCell{48, 0, 16, 8};
constexpr HudCell ObjectModeCell{48, 8, 16, 8};
constexpr HudCell SolidModeCell{64, 0, 16, 8};
constexpr HudCell ObjectPanelCell{0, 16, 48, 48};
// The tile of a field texture that a palette slot shows.
constexpr HudCell PaletteTile{64, 64, 16, 16};

// A point as a constant.
struct HudPoint
{
    float x, y;
};

// Where the sprites stand, scene pixels (top-left corners).
constexpr HudPoint EditorIndicatorPosition{304.f, 184.f};
constexpr float PaletteLeft = 10.f; // slot k and the marker on ground k at PaletteLeft + PaletteStep * k
constexpr float PaletteStep = 8.f;
constexpr float PaletteTop = 8.f;
constexpr HudPoint LayerIndicatorPosition{290.f, 8.f};
constexpr HudPoint ModeIndicatorPosition{290.f, 16.f};
constexpr HudPoint ObjectPanelPosition{20.f, 16.f}; // also the preview's

// The outline of a rectangle being dragged in the editor: a line this wide
// (scene pixels) just inside its fields, and its colour.
constexpr float RectangleOutlineWidth = 1.f;
constexpr sf::Uint8 RectangleOutlineRed = 255, RectangleOutlineGreen = 255, RectangleOutlineBlue = 255;

// The unsaved-changes mark: a small amber square with a dark rim in the
// scene's top-right corner, where no other HUD picture lies. Scene pixels.
constexpr HudPoint UnsavedMarkPosition{313.f, 1.f}; // top-left corner of the rim
constexpr float UnsavedMarkSize = 6.f;              // the rim's side; the amber inside is 4 x 4
const sf::Color UnsavedMarkRim{40, 24, 0};
const sf::Color UnsavedMarkFill{255, 176, 0};

// Where the texts stand, in scene pixels times the scene scale (window
// pixels); the message's y counts up from the window's bottom edge.
constexpr HudPoint BrushSizeTextPosition{87.f, 9.f};
constexpr float MessageTextLeft = 8.f;
constexpr float MessageTextBottomOffset = 16.f;

// The heads-up display: the editor indicator, and in editor mode the ground
// palette with its marker, the layer and mode indicators and the object
// preview, all in scene pixels; the brush-size text and the message text are
// drawn by the frame loop on the window, in window pixels. describe and
// describeTexts add what draw and drawTexts read to a frame's key (see
// FrameKey), the choices aside: they are the editor's to describe.
class UI
{
public:
    // `windowSize` in window pixels; the scales are window pixels per scene
    // pixel. `content` and `time` must outlive the display.
    UI(const GameData* content, sf::Vector2u windowSize, float sceneScaleX, float sceneScaleY,
       const TimeSource& time = TimeSource::system());

    // Shows `text` for `seconds` (MessageDuration unless said) from now. A
    // text that is valid UTF-8 as a whole is shown as such; anything else byte
    // for byte as Latin-1 (each byte one character). An empty text clears the
    // message. The text is laid out once, when it changes, and only as far as
    // the window can show it (the lines and characters that start beyond its
    // edges are left out), so a long message costs no more per frame than a
    // short one; the same text again (Space held) only restarts the clock.
    void showMessage(const std::string& text, float seconds = MessageDuration);

    // Whether the map has changes that were not saved: draw shows the
    // unsaved-changes mark while it has.
    void setUnsavedMark(bool shown) { unsavedMarkShown = shown; }
    bool showsUnsavedMark() const { return unsavedMarkShown; }

    // Takes the editor's choices for this frame: while it is off only the
    // editor indicator changes. An object that is not loaded (definition or
    // texture) shows an empty preview; one larger than the panel is scaled
    // down to fit it. The marker stands on the selected ground's slot; a
    // selected ground past the palette (9 and up) is shown in the last slot,
    // under the marker, instead of type 8.
    void update(const EditorChoices& editor);

    // The sprites into the scene: the editor indicator always, the
    // unsaved-changes mark while it is set, the rest only while the editor is
    // active. The marker shows for the types 0..5 and for the loaded types
    // past them.
    void draw(sf::RenderTarget& target, const EditorChoices& editor);
    void describe(FrameKey& key) const { key.add(unsavedMarkShown); }

    // The outline of the editor's rectangle, `area` in scene pixels, into the
    // scene (over the map, under the HUD's sprites).
    void drawRectangleOutline(sf::RenderTarget& target, const sf::IntRect& area);

    // The texts onto the window, over the scaled scene: the brush size while
    // the editor is active, then the message while it is visible.
    void drawTexts(sf::RenderTarget& window, const EditorChoices& editor) const;
    void describeTexts(FrameKey& key) const;

    // Whether the message is still to be drawn: its clock reads strictly less
    // than its duration (MessageDuration unless showMessage said otherwise).
    bool messageVisible() const;

    const sf::Text& brushSizeText() const { return brushSize; } // window pixels
    const sf::Text& messageText() const { return message; }     // window pixels; the part that can show

private:
    // The texture palette slot `slot` shows while no ground past the palette is selected.
    const sf::Texture* paletteTexture(int slot) const;

    const GameData* content;
    sf::Sprite editorIndicator;
    sf::Sprite groundMarker;
    bool groundMarkerShown = true; // the selected ground has a palette slot, or stands in the last one
    std::array<sf::Sprite, PaletteSlots> palette;
    sf::Sprite layerIndicator;
    sf::Sprite modeIndicator;
    sf::Sprite objectPanel;
    sf::Sprite objectPreview;
    sf::RectangleShape rectangleOutline;
    sf::Text brushSize;
    sf::Text message;
    std::string messageBytes; // the text last given to showMessage
    sf::Vector2u windowSize;  // window pixels the message can show in
    Stopwatch messageClock;
    float messageSeconds = MessageDuration; // how long the current message stays
    sf::VertexArray unsavedMarkPicture;
    bool unsavedMarkShown = false;
    int shownBrushSize = 1; // what the brush-size text says, so it is rebuilt only on a change
};

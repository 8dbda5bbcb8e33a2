#pragma once

#include "platform/TimeSource.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <string>

namespace sf
{
class RenderTarget;
}

class Editor;
class GameData;

constexpr float MessageDuration = 2.0f; // seconds a message stays after its last showMessage

// The heads-up display: the editor indicator, and in editor mode the ground
// palette with its marker, the layer and mode indicators and the object
// preview, all in scene pixels; the brush-size text and the message text are
// drawn by the frame loop on the window, in window pixels.
class UI
{
public:
    // `windowSize` in window pixels; the scales are window pixels per scene
    // pixel. `content` and `time` must outlive the display.
    UI(const GameData* content, sf::Vector2u windowSize, float sceneScaleX, float sceneScaleY,
       const TimeSource& time = TimeSource::system());

    // Shows `text` for MessageDuration from now. Valid UTF-8 is shown as such,
    // anything else byte for byte as Latin-1; an empty text clears the message.
    void showMessage(std::string text);

    // Takes the editor's state for this frame.
    void update(const Editor& editor);

    // The sprites into the scene: the editor indicator always, the rest only
    // while the editor is active.
    void draw(sf::RenderTarget& target, const Editor& editor);

    // Whether the message is still to be drawn (its clock under MessageDuration).
    bool messageVisible() const;

    const GameData* content;
    sf::Sprite editorIndicator;
    sf::Sprite groundMarker;
    std::array<sf::Sprite, 9> palette;
    sf::Sprite layerIndicator;
    sf::Sprite modeIndicator;
    sf::Sprite objectPanel;
    sf::Sprite objectPreview;
    sf::Text brushSizeText; // window pixels
    sf::Text messageText;   // window pixels
    Stopwatch messageClock;
};

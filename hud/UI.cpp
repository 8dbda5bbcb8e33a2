#include "hud/UI.h"

#include "content/GameData.h"
#include "editor/Editor.h"

#include <SFML/Graphics/RenderTarget.hpp>

UI::UI(const GameData* content, sf::Vector2u, float, float, const TimeSource& time)
    : content(content), messageClock(time)
{
}

void UI::showMessage(std::string text)
{
    messageText.setString(text);
    messageClock.restart();
}

void UI::update(const Editor&) {}

void UI::draw(sf::RenderTarget&, const Editor&) {}

bool UI::messageVisible() const
{
    return messageClock.getElapsedTime().asSeconds() < MessageDuration;
}

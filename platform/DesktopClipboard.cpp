#include "platform/DesktopClipboard.h"

#include <SFML/Window/Clipboard.hpp>

std::string DesktopClipboard::text() const
{
    const auto utf8 = sf::Clipboard::getString().toUtf8();
    return std::string(utf8.begin(), utf8.end());
}

void DesktopClipboard::setText(const std::string& utf8)
{
    sf::Clipboard::setString(sf::String::fromUtf8(utf8.begin(), utf8.end()));
}

#include "app/GameWindow.h"

#include "content/DecodedImages.h"
#include "content/ImageFile.h"
#include "platform/Display.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

const char* const windowTitle = "  Quillora Indev 0.0.6 ";

void openGameWindow(sf::RenderWindow& window, sf::Uint32 style, bool limitFrameRate)
{
    // No depth or stencil buffer, no antialiasing, OpenGL 2.0.
    const sf::ContextSettings context(0, 0, 0, 2, 0);
    const WindowCreationGuard guard(windowTitle);
    window.create(sf::VideoMode(WindowWidth, WindowHeight, WindowBitsPerPixel), windowTitle, style, context);
    window.setMouseCursorVisible(false);
    window.setKeyRepeatEnabled(false);
    if (limitFrameRate)
    {
        window.setFramerateLimit(FrameRateLimit);
        window.setVerticalSyncEnabled(true);
    }
}

void setGameIcon(sf::RenderWindow& window, const DecodedImages& images, const std::string& iconPath)
{
    // The icon is set only from an image that loaded, and only if it holds a
    // whole 16 x 16 icon.
    sf::Image icon;
    const sf::Image* decodedIcon = images.find(iconPath);
    if (decodedIcon)
        icon = *decodedIcon;
    if ((decodedIcon || loadPngImage(iconPath, icon)) && icon.getSize().x >= IconSize && icon.getSize().y >= IconSize)
    {
        sf::Image scaled;
        scaled.create(IconSize, IconSize);
        scaled.copy(icon, 0, 0, sf::IntRect(0, 0, IconSize, IconSize));
        window.setIcon(IconSize, IconSize, scaled.getPixelsPtr());
    }
}

// Keys, buttons, wheels and pointer motion leave the window's pixels alone.
// Anything else (focus, resizing, the pointer entering or leaving) may come
// with a window that was covered, resized or re-made.
bool spoilsWindow(const sf::Event& event)
{
    switch (event.type)
    {
    case sf::Event::TextEntered:
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
    case sf::Event::MouseWheelMoved:
    case sf::Event::MouseWheelScrolled:
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
    case sf::Event::MouseMoved:
    case sf::Event::JoystickButtonPressed:
    case sf::Event::JoystickButtonReleased:
    case sf::Event::JoystickMoved:
    case sf::Event::JoystickConnected:
    case sf::Event::JoystickDisconnected:
    case sf::Event::TouchBegan:
    case sf::Event::TouchMoved:
    case sf::Event::TouchEnded:
    case sf::Event::SensorChanged:
        return false;
    default:
        return true;
    }
}

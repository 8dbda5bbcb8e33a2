#include "app/ScreenCapture.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <iostream>
#include <sstream>

std::string screenCaptureName(const LocalTime& time)
{
    std::ostringstream name;
    name << "ScreenCapture-" << time.day << '-' << time.month << '-' << time.year << '-' << time.hour << '-'
         << time.minute << '-' << time.second << ".jpg";
    return name.str();
}

bool ScreenCapture(sf::RenderWindow& window)
{
    // The time is read before the capture is taken.
    return captureWindowTo(window, screenCaptureName(localTimeNow()));
}

bool captureWindowTo(const sf::RenderWindow& window, const std::string& name)
{
    sf::Texture texture;
    const sf::Vector2u size = window.getSize();
    if (!texture.create(size.x, size.y))
    {
        std::cerr << "Screen capture " << name << " failed: cannot capture the window" << std::endl;
        return false;
    }
    texture.update(window);
    const sf::Image image = texture.copyToImage();
    if (!image.saveToFile(name))
    {
        std::cerr << "Screen capture " << name << " failed: the file cannot be written" << std::endl;
        return false;
    }
    return true;
}

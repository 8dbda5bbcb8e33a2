#include "app/ScreenCapture.h"

#include "platform/SafeFileWriter.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Err.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

std::string screenCaptureName(const LocalTime& time, int counter)
{
    std::ostringstream name;
    name << "ScreenCapture-" << time.day << '-' << time.month << '-' << time.year << '-' << time.hour << '-'
         << time.minute << '-' << time.second;
    if (counter > 1)
        name << '-' << counter;
    name << ".jpg";
    return name.str();
}

std::string captureWindow(const sf::RenderWindow& window, const LocalTime& time, const std::string& folder,
                          std::string* written)
{
    sf::Texture texture;
    const sf::Vector2u size = window.getSize();
    if (!texture.create(size.x, size.y))
        return "cannot capture the window";
    texture.update(window);
    const sf::Image image = texture.copyToImage();

    std::string name;
    std::string reason;
    for (int counter = 1;; ++counter)
    {
        if (counter > MaxCapturesPerName)
            return screenCaptureName(time) + ": " + std::to_string(MaxCapturesPerName) +
                   " captures of this second exist";
        name = (folder.empty() ? std::string() : folder + "/") + screenCaptureName(time, counter);
        const NewFileStatus status = createNewFile(name, reason);
        if (status == NewFileStatus::Created)
            break;
        if (status == NewFileStatus::Failed)
            return reason;
    }
    // The encoder's own complaint would come every frame; ours comes once.
    std::streambuf* const libraryErrors = sf::err().rdbuf(nullptr);
    const bool saved = image.saveToFile(name);
    sf::err().rdbuf(libraryErrors);
    if (!saved)
    {
        std::remove(name.c_str());
        return name + ": the image cannot be written";
    }
    if (written)
        *written = name;
    return {};
}

void ScreenCapturer::frame(const sf::RenderWindow& window, bool held)
{
    if (!held)
    {
        failureReported = false;
        return;
    }
    // The time is read before the capture is taken.
    const LocalTime now = localTimeNow();
    std::string reason;
    if (!folder.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::u8path(folder), error);
        if (error)
            reason = folder + ": " + error.message();
    }
    if (reason.empty())
        reason = captureWindow(window, now, folder);
    if (!reason.empty() && !failureReported)
    {
        std::cerr << "Screen capture failed: " << reason << std::endl;
        failureReported = true;
    }
}

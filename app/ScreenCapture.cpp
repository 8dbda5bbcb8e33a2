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

std::string captureName(const char* prefix, const LocalTime& time, int counter, const char* extension)
{
    std::ostringstream name;
    name << prefix << '-' << time.day << '-' << time.month << '-' << time.year << '-' << time.hour << '-'
         << time.minute << '-' << time.second;
    if (counter > 1)
        name << '-' << counter;
    name << extension;
    return name.str();
}

std::string screenCaptureName(const LocalTime& time, int counter)
{
    return captureName("ScreenCapture", time, counter, ".jpg");
}

std::string createCaptureFile(const std::string& folder, const char* prefix, const LocalTime& time,
                              const char* extension, std::string& name)
{
    std::string reason;
    for (int counter = 1; counter <= MaxCapturesPerName; ++counter)
    {
        name = (folder.empty() ? std::string() : folder + "/") + captureName(prefix, time, counter, extension);
        const NewFileStatus status = createNewFile(name, reason);
        if (status == NewFileStatus::Created)
            return {};
        if (status == NewFileStatus::Failed)
            return reason;
    }
    return captureName(prefix, time, 1, extension) + ": " + std::to_string(MaxCapturesPerName) +
           " files of this second exist";
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
    if (std::string reason = createCaptureFile(folder, "ScreenCapture", time, ".jpg", name); !reason.empty())
        return reason;
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
    const bool pressed = held && !wasHeld;
    wasHeld = held;
    if (!pressed)
        return;
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
    if (!reason.empty())
        std::cerr << "Screen capture failed: " << reason << std::endl;
}

#include "app/ScreenCapture.h"

#include "platform/Console.h"
#include "platform/SafeFileWriter.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Err.hpp>

#include <cstdio>
#include <filesystem>
#include <ostream>
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

WriteResult createCaptureFile(const std::string& folder, const char* prefix, const LocalTime& time,
                              const char* extension, std::string& name)
{
    for (int counter = 1; counter <= MaxCapturesPerName; ++counter)
    {
        name = (folder.empty() ? std::string() : folder + "/") + captureName(prefix, time, counter, extension);
        WriteResult created = createNewFile(name);
        if (created.status != WriteResult::Status::Taken)
            return created;
    }
    return WriteResult::failed(captureName(prefix, time, 1, extension) + ": " +
                               std::to_string(MaxCapturesPerName) + " files of this second exist");
}

WriteResult captureWindow(const sf::RenderWindow& window, const LocalTime& time, const std::string& folder,
                          std::string* written)
{
    sf::Texture texture;
    const sf::Vector2u size = window.getSize();
    if (!texture.create(size.x, size.y))
        return WriteResult::failed("cannot capture the window");
    texture.update(window);
    const sf::Image image = texture.copyToImage();

    std::string name;
    if (WriteResult created = createCaptureFile(folder, "ScreenCapture", time, ".jpg", name); !created)
        return created;
    // The encoder's own complaint would come every frame; ours comes once.
    std::streambuf* const libraryErrors = sf::err().rdbuf(nullptr);
    const bool saved = image.saveToFile(name);
    sf::err().rdbuf(libraryErrors);
    if (!saved)
    {
        std::remove(name.c_str());
        return WriteResult::failed(name + ": the image cannot be written");
    }
    if (written)
        *written = name;
    return WriteResult();
}

void ScreenCapturer::frame(const sf::RenderWindow& window, bool held)
{
    const bool pressed = held && !wasHeld;
    wasHeld = held;
    if (!pressed)
        return;
    // The time is read before the capture is taken.
    const LocalTime now = localTimeNow();
    WriteResult result;
    if (!folder.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::u8path(folder), error);
        if (error)
            result = WriteResult::failed(folder + ": " + error.message());
    }
    if (result)
        result = captureWindow(window, now, folder);
    if (!result)
        consoleErrors() << "Screen capture failed: " << result.reason << std::endl;
}

#pragma once

#include <SFML/Config.hpp>

#include <string>

namespace sf
{
class Event;
class RenderWindow;
} // namespace sf

class DecodedImages;

constexpr unsigned WindowWidth = 1080;      // pixels of the requested video mode
constexpr unsigned WindowHeight = 720;      // pixels
constexpr unsigned WindowBitsPerPixel = 32; // colour depth of the video mode
constexpr unsigned FrameRateLimit = 60;     // frames per second
constexpr unsigned IconSize = 16;           // pixels per side of the window icon
constexpr const char* IconFile = "/ico.png"; // the window icon, below the content root

extern const char* const windowTitle;

// Opens `window` as the game opens every window of its own: 1080 x 720 x 32,
// the title, `style`, no depth or stencil buffer, no antialiasing, OpenGL
// 2.0; mouse cursor hidden, key repeat off; with `limitFrameRate`, at most
// FrameRateLimit frames per second and vertical sync.
void openGameWindow(sf::RenderWindow& window, sf::Uint32 style, bool limitFrameRate);

// Sets `window`'s icon from the top-left 16 x 16 pixels of the picture at
// `iconPath`, taken from `images` when decoded there, else read now; a
// picture that does not load or is smaller leaves the icon as it is.
void setGameIcon(sf::RenderWindow& window, const DecodedImages& images, const std::string& iconPath);

// Whether `event` may come with a window whose pixels were spoilt (covered,
// resized, re-made): anything but keys, buttons, wheels, pointer motion,
// touches and sensors, events yet to be thought of included.
bool spoilsWindow(const sf::Event& event);

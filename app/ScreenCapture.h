#pragma once

#include "platform/LocalTime.h"

#include <string>

namespace sf
{
class RenderWindow;
}

// "ScreenCapture-<day>-<month>-<year>-<hour>-<minute>-<second>.jpg", each number
// in plain decimal without leading zeros.
std::string screenCaptureName(const LocalTime& time);

// Writes what `window` shows as an image at `path`; the format follows the
// extension. Returns whether the file was written; a failure is reported on
// stderr with the file's name.
bool captureWindowTo(const sf::RenderWindow& window, const std::string& path);

// Writes what `window` shows as a JPEG named after the local time into the
// working directory, replacing a file of the same name. Returns whether the
// file was written; a failure is reported on stderr.
bool ScreenCapture(sf::RenderWindow& window);

#pragma once

#include "platform/FileResults.h"
#include "platform/LocalTime.h"

#include <string>

namespace sf
{
class RenderWindow;
}

// Captures that can share one second's name: "-2" up to this counter, then
// captures of that second fail.
constexpr int MaxCapturesPerName = 1000;

// "<prefix>-<day>-<month>-<year>-<hour>-<minute>-<second><extension>", each
// number in plain decimal without leading zeros; from `counter` 2 on,
// "-<counter>" goes before the extension.
std::string captureName(const char* prefix, const LocalTime& time, int counter, const char* extension);

// captureName("ScreenCapture", time, counter, ".jpg").
std::string screenCaptureName(const LocalTime& time, int counter = 1);

// Creates the first free file of captureName(prefix, time, 1, extension),
// counter 2, 3, ... up to MaxCapturesPerName, in `folder` (UTF-8; empty: the
// working directory, which is then not named), taking the name in the same
// step as the file is created. Complete with the new empty file's name in
// `name`, or Failed with the reason.
WriteResult createCaptureFile(const std::string& folder, const char* prefix, const LocalTime& time,
                              const char* extension, std::string& name);

// Writes what `window` shows as a JPEG into `folder` (UTF-8; empty: the
// working directory, which is then not named), under the first name of `time`
// that is free (screenCaptureName with counter 1, 2, ...): a capture never
// replaces a file. The name is taken in one step with the file's creation, so
// two captures, or another program, cannot take the same one. Complete with
// the file in `written` (when given), or Failed with the reason; a failed
// capture leaves no file. The folder must exist.
WriteResult captureWindow(const sf::RenderWindow& window, const LocalTime& time, const std::string& folder = {},
                          std::string* written = nullptr);

// F3 as the frame loop sees it: one capture per press, taken in the frame in
// which the key goes down and named after the local time of that frame, into
// `folder` (empty: the working directory; a folder that does not exist yet is
// created). Holding the key takes no more captures. A failure is reported on
// the console's error stream (platform/Console.h), once for its press.
class ScreenCapturer
{
public:
    explicit ScreenCapturer(std::string folder = {}) : folder(std::move(folder)) {}

    void frame(const sf::RenderWindow& window, bool held);

private:
    std::string folder;
    bool wasHeld = false; // in the last frame
};

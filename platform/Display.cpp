#include "platform/Display.h"

#ifndef _WIN32
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#endif

#ifdef _WIN32

std::string checkDisplay()
{
    return {};
}

#else

std::string checkDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "no display: DISPLAY is not set, and the game needs an X display for its window";
    for (int attempt = 1;; ++attempt)
    {
        if (Display* display = XOpenDisplay(name))
        {
            XCloseDisplay(display);
            return {};
        }
        if (attempt == DisplayAttempts)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(DisplayRetryDelayMs));
    }
    return std::string("cannot open the X display \"") + name + "\" (tried " + std::to_string(DisplayAttempts) +
           " times over a second)";
}

#endif

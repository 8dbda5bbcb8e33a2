#include "platform/Display.h"

#include "platform/Console.h"

#ifndef _WIN32
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <mutex>
#include <thread>
#endif

#ifdef _WIN32

DisplayConnection::~DisplayConnection() = default;

DisplayCheck checkDisplay()
{
    return {};
}

struct WindowCreationGuard::Watch
{
};

WindowCreationGuard::WindowCreationGuard(const std::string&) {}
WindowCreationGuard::~WindowCreationGuard() = default;

void onDisplayLost(std::function<void()>, std::string) {}

#else

DisplayConnection::~DisplayConnection()
{
    if (display)
        XCloseDisplay(static_cast<Display*>(display));
}

namespace
{
// The display named by DISPLAY, tried DisplayAttempts times; null if never.
Display* openDisplay(const char* name)
{
    for (int attempt = 1;; ++attempt)
    {
        if (Display* display = XOpenDisplay(name))
            return display;
        if (attempt == DisplayAttempts)
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(DisplayRetryDelayMs));
    }
}

// Tells every top-level window titled `title` that it is not covered.
void sayVisible(Display* display, const std::string& title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i)
    {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name)
        {
            if (title == name)
            {
                XEvent event;
                std::memset(&event, 0, sizeof event);
                event.xvisibility.type = VisibilityNotify;
                event.xvisibility.display = display;
                event.xvisibility.window = children[i];
                event.xvisibility.state = VisibilityUnobscured;
                XSendEvent(display, children[i], False, VisibilityChangeMask, &event);
            }
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    XFlush(display);
}

std::function<void()> keepOnLoss;
std::string lossLine;

int displayLost(Display*)
{
    static bool once = false;
    if (!once)
    {
        once = true;
        if (keepOnLoss)
            keepOnLoss();
    }
    consoleOut().flush();
    consoleErrors() << lossLine << std::endl;
    _exit(1); // Xlib ends the program after this anyway; nothing may talk to the display again
}
} // namespace

DisplayCheck checkDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return {"no display: DISPLAY is not set, and the game needs an X display for its window", nullptr};
    if (Display* display = openDisplay(name))
        return {{}, std::make_unique<DisplayConnection>(display)};
    return {std::string("cannot open the X display \"") + name + "\" (tried " + std::to_string(DisplayAttempts) +
                " times over a second)",
            nullptr};
}

struct WindowCreationGuard::Watch
{
    std::mutex mutex;
    std::condition_variable changed;
    bool made = false;
    std::thread thread;
};

WindowCreationGuard::WindowCreationGuard(const std::string& title) : watch(std::make_unique<Watch>())
{
    Watch& w = *watch;
    w.thread = std::thread([&w, title] {
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(w.mutex);
        if (w.changed.wait_for(lock, std::chrono::milliseconds(WindowNudgeDelayMs), [&w] { return w.made; }))
            return;
        Display* display = nullptr;
        while (!w.made)
        {
            if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(WindowCreationLimitMs))
            {
                consoleErrors() << "quillora: the game's window did not come up within "
                          << WindowCreationLimitMs / 1000 << " seconds" << std::endl;
                _exit(1);
            }
            if (!display)
                display = XOpenDisplay(std::getenv("DISPLAY")); // refused now and then: tried again
            if (display)
                sayVisible(display, title);
            w.changed.wait_for(lock, std::chrono::milliseconds(DisplayRetryDelayMs), [&w] { return w.made; });
        }
        if (display)
            XCloseDisplay(display);
    });
}

WindowCreationGuard::~WindowCreationGuard()
{
    {
        std::lock_guard<std::mutex> lock(watch->mutex);
        watch->made = true;
    }
    watch->changed.notify_all();
    watch->thread.join();
}

void onDisplayLost(std::function<void()> keep, std::string line)
{
    keepOnLoss = std::move(keep);
    lossLine = std::move(line);
    XSetIOErrorHandler(displayLost);
}

#endif

#pragma once

#include <functional>
#include <memory>
#include <string>

// How often the display is tried before the game gives up, and the wait
// between tries: a busy X server now and then refuses a connection, so one
// failure is not the end, but a second of refusals is.
constexpr int DisplayAttempts = 5;
constexpr int DisplayRetryDelayMs = 250; // milliseconds; 4 waits: about a second in all

// A window being made waits this long before it is told that it shows (see
// WindowCreationGuard), and the start fails after WindowCreationLimitMs.
constexpr int WindowNudgeDelayMs = 300;      // milliseconds
constexpr int WindowCreationLimitMs = 10000; // milliseconds

// The connection the display check opened, held until the game's window
// exists: closing it just before the graphics library opens its own made
// that one fail now and then on a busy server (and the library aborts then).
class DisplayConnection
{
public:
    explicit DisplayConnection(void* display) : display(display) {}
    ~DisplayConnection(); // closes it
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

private:
    void* display; // the Xlib Display
};

struct DisplayCheck
{
    std::string problem; // empty when there is a display; else the reason, for the player
    std::unique_ptr<DisplayConnection> connection; // open while it lives; null on Windows and on failure
};

// Whether there is a display to open the game's window on, asked before the
// graphics library is touched (it aborts the whole process without one).
// On Linux: the X display named by DISPLAY is opened with Xlib, up to
// DisplayAttempts times, and kept open in the result. On Windows there is
// always a desktop.
DisplayCheck checkDisplay();

// While one lives, the graphics library makes the game's window, titled
// `title`. The library waits until the X server reports the new window at
// least partly visible; without a window manager, a window of the same size
// at the same place made at the same moment (another game started with this
// one) may cover it whole, and then that report never comes and the library
// spins for ever. So after WindowNudgeDelayMs every top-level window of that
// title is told, from a connection of its own, that it is visible (harmless
// for a window that is); if the window still is not made after
// WindowCreationLimitMs the program ends with status 1 and a line on
// standard error. Does nothing on Windows.
class WindowCreationGuard
{
public:
    explicit WindowCreationGuard(const std::string& title);
    ~WindowCreationGuard();
    WindowCreationGuard(const WindowCreationGuard&) = delete;
    WindowCreationGuard& operator=(const WindowCreationGuard&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> watch;
};

// When the connection to the X server breaks (the server ended: a logout),
// Xlib calls `keep` once, on the thread that noticed, and the program then
// ends with status 1 after `line` on standard error. `keep` must not touch the
// display. Replaces an earlier handler. Does nothing on Windows.
void onDisplayLost(std::function<void()> keep, std::string line);

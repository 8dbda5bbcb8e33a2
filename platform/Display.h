#pragma once

#include <string>

// How often the display is tried before the game gives up, and the wait
// between tries: a busy X server now and then refuses a connection, so one
// failure is not the end, but a second of refusals is.
constexpr int DisplayAttempts = 5;
constexpr int DisplayRetryDelayMs = 250; // milliseconds; 4 waits: about a second in all

// Whether there is a display to open the game's window on, asked before the
// graphics library is touched (it aborts the whole process without one).
// Returns an empty string when there is, else the reason, for the player.
// On Linux: the X display named by DISPLAY is opened with Xlib and closed
// again, up to DisplayAttempts times. On Windows there is always a desktop.
std::string checkDisplay();

#pragma once

// Turns the system's requests to end the program into a flag that the frame
// loop reads, so the game can keep unsaved work before it exits: SIGINT,
// SIGTERM and SIGHUP (a closed terminal, a logout); on Windows the console's
// Ctrl+C, Ctrl+Break, close, log-off and shut-down events. Only the first
// request is caught: a second one ends the program at once, the system's
// way, for a game that cannot react (e.g. while a modal dialog is open).
void installShutdownHandlers();

// Whether a request to end the program has arrived. Safe from any thread.
bool shutdownRequested();

// Says that the game has kept what it had to and is about to exit. On Windows
// the system ends the process as soon as the console handler of a close,
// log-off or shut-down event returns; the handler waits for this (a few
// seconds at most). Elsewhere it does nothing.
void shutdownFinished();

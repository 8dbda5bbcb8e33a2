#pragma once

// The program behind main: reads the command line, finds the content, then
// exports a map picture or plays until the window closes or the system asks
// the game to end, keeping unsaved work in a recovery file. Returns the exit
// code: 0 after playing, 1 when there is no content or the export failed,
// 2 for a command line that cannot be used.
int runGame(int argc, char** argv);

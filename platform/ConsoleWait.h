#pragma once

// Keeps the console open at exit until the user presses a key. On a terminal it
// prints a prompt and waits for one key; when standard input is not a terminal
// (a pipe, a file, closed, as in scripts and CI) it returns at once.
void waitForKeyOnConsole();

#pragma once

// Opens the null device on standard input, output and error where they are
// closed at start. Otherwise the next file or connection the program opens
// (the X display's socket) takes descriptor 0, 1 or 2, and what is meant for
// the console reads from or writes into it. Does nothing on Windows.
void openClosedStandardStreams();

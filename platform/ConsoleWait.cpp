#include "platform/ConsoleWait.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <conio.h>
#include <io.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

void waitForKeyOnConsole()
{
#ifdef _WIN32
    if (!_isatty(_fileno(stdin)))
        return;
    std::cout << "Press any key to continue . . ." << std::endl;
    _getch();
#else
    if (!isatty(STDIN_FILENO))
        return;
    std::cout << "Press any key to continue . . ." << std::endl;

    // One key, without waiting for Enter and without echoing it.
    termios saved{};
    const bool haveTerminalMode = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminalMode)
    {
        termios raw = saved;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    char key = 0;
    const ssize_t got = read(STDIN_FILENO, &key, 1);
    (void)got; // end of input or an error ends the wait just the same
    if (haveTerminalMode)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
#endif
}

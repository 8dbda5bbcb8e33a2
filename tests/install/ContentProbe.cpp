// Prints the content folder that an installed game finds from where this
// program's own executable lies. The install test copies it into an installed
// bin/ folder and runs it from elsewhere.
#include "platform/ExecutablePath.h"

#include <iostream>

int main()
{
    const std::string executable = executablePath();
    if (executable.empty())
        return 1;
    std::cout << installedContentDir(executable) << '\n';
    return 0;
}

#include "platform/Console.h"

#include <iostream>

std::ostream& consoleOut()
{
    return std::cout;
}

std::ostream& consoleErrors()
{
    return std::cerr;
}

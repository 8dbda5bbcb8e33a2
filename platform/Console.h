#pragma once

#include <iosfwd>

// The game's console: the one place that names the process's standard
// streams for what the game says outside its window. Progress and result
// lines ("--- ...") go to consoleOut(), which is standard output; problems
// ("quillora: ...", refused content, a failed capture) to consoleErrors(),
// which is standard error. Whoever writes a line ends it with std::endl, so
// it is out at once, in order with the other stream's lines.
std::ostream& consoleOut();
std::ostream& consoleErrors();

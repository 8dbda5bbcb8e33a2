#pragma once

// The Windows API for the Windows halves of platform/, without the min and
// max macros that would break std::min and std::max. Include it only inside
// an `#ifdef _WIN32` block.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

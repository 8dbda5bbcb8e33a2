#pragma once

#include <cstdint>

// The scene's units, shared by everything that places pictures in it: the
// content store (an object's picture is measured in fields) and the world.

constexpr int FieldSize = 16; // scene pixels per side of a field and of a ground piece

// A scene position truncated toward zero to whole pixels, as a float-to-int
// conversion does; saturates at the int range instead of overflowing for a
// wild position, and gives 0 for NaN.
inline int truncatePixel(float value)
{
    if (value != value)
        return 0;
    return static_cast<int>(value < -2147483648.0f ? -2147483648.0f : value > 2147483520.0f ? 2147483520.0f : value);
}

// A 64-bit result of size arithmetic clamped to the int range, so that a
// damaged definition gives a huge size instead of overflowing.
constexpr int saturateToInt(std::int64_t value)
{
    return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
}

#pragma once

// A moment of the local calendar, in the units people read.
struct LocalTime
{
    int day = 1;    // 1..31
    int month = 1;  // 1..12
    int year = 1970;
    int hour = 0;   // 0..23
    int minute = 0; // 0..59
    int second = 0; // 0..60 (a leap second)
};

// The current local date and time from the C library.
LocalTime localTimeNow();

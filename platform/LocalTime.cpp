#include "platform/LocalTime.h"

#include <ctime>

LocalTime localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    LocalTime local;
    local.day = parts.tm_mday;
    local.month = parts.tm_mon + 1;
    local.year = parts.tm_year + 1900;
    local.hour = parts.tm_hour;
    local.minute = parts.tm_min;
    local.second = parts.tm_sec;
    return local;
}

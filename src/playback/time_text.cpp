#include "playback/time_text.h"

#include <cmath>
#include <limits>

std::string FormatTwoDigits(double value)
{
    const double whole = std::trunc(value);
    if (std::fabs(value - whole) > 0.999999999999) {
        value = whole + (value < 0 ? -1.0 : 1.0);
    }
    // Clamped so that a wild value cannot make the conversion undefined.
    double floored = std::floor(value);
    if (!(floored >= std::numeric_limits<std::int32_t>::min())) {
        floored = std::numeric_limits<std::int32_t>::min();
    }
    if (floored > std::numeric_limits<std::int32_t>::max()) {
        floored = std::numeric_limits<std::int32_t>::max();
    }
    std::string text(1, '0');
    text += std::to_string(static_cast<std::int32_t>(floored));
    return text.substr(text.size() - 2);
}

std::string TimeText(std::int32_t ms)
{
    const double seconds = ms / 1000.0;
    const double minutes = std::trunc(seconds / 60.0);
    const std::string minutesField = minutes < 100.0
        ? FormatTwoDigits(minutes)
        : std::to_string(static_cast<std::int64_t>(minutes));
    return minutesField + ":" + FormatTwoDigits(std::fmod(seconds, 60.0));
}

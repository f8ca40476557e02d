#pragma once

#include <cstdint>
#include <string>

// The last two characters of "0" followed by the floor of value (a whole part
// moved one step away from zero when the fraction is within 1e-12 of it).
[[nodiscard]] std::string FormatTwoDigits(double value);

// "mm:ss" of a time in milliseconds. From 100 minutes on the minutes field
// shows every digit instead of losing its leading ones.
[[nodiscard]] std::string TimeText(std::int32_t ms);

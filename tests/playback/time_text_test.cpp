#include "playback/time_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(TimeText, MinutesAndSeconds)
{
    const struct {
        std::int32_t ms;
        const char* text;
    } cases[] = {
        {0, "00:00"},
        {999, "00:00"},
        {1000, "00:01"},
        {59999, "00:59"},
        {60000, "01:00"},
        {61500, "01:01"},
        {240000, "04:00"},
        {3599999, "59:59"},
        {3600000, "60:00"},
        {5999999, "99:59"},
        // From 100 minutes on every digit of the minutes shows.
        {6000000, "100:00"},
        {7384000, "123:04"},
        {60000000, "1000:00"},
        {std::numeric_limits<std::int32_t>::max(), "35791:23"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeText(c.ms), c.text) << c.ms << " ms";
    }
}

TEST(TimeText, NegativeTimesKeepTheirSign)
{
    // Seconds take the sign of the time; floor moves them away from zero.
    EXPECT_EQ(TimeText(-1000), "00:-1");
    EXPECT_EQ(TimeText(-61500), "-1:-2");
}

TEST(FormatTwoDigits, LastTwoCharactersOfTheFloor)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "00"},
        {7.0, "07"},
        {7.9, "07"},
        {42.0, "42"},
        {123.0, "23"},
        {100.0, "00"},
        // A fraction within 1e-12 of the next whole number counts as it.
        {6.9999999999999, "07"},
        {59.9999999999999, "60"},
        {6.999999, "06"},
        {-0.5, "-1"},
        {-3.0, "-3"},
        {-6.9999999999999, "-7"},
        {-42.0, "42"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTwoDigits(c.value), c.text) << c.value;
    }
}

} // namespace

#include "cut/byte_range.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include <ostream>

void PrintTo(const ByteRange& range, std::ostream* out)
{
    *out << "{offset " << range.offset << ", count " << range.count << '}';
}

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(TimesPassCheck, ToleratesTenToTheMinusSeventh)
{
    // A pair whose difference is exactly the tolerance, and one just past it.
    const double end = std::nextafter(std::nextafter(1e-7, 1.0), 1.0);
    const double start = end + 1e-7;
    ASSERT_EQ(end - start, -0.0000001);
    const double startPast = std::nextafter(start, 1.0);
    ASSERT_LT(end - startPast, -0.0000001);

    const struct {
        double start, end;
        bool passes;
    } cases[] = {
        {1, 2, true},
        {5, 5, true},
        {-5, -3, true},
        {-5, 3, true},
        {2, 1, false},
        {start, end, true},
        {startPast, end, false},
        {1.0, 1.0 - 0.00000011, false},
        {1.0, 1.0 - 0.00000009, true},
        // neither may be (nearly) 0
        {-1, 1e-7, false},
        {-1, -1e-7, false},
        {-1, 1.1e-7, true},
        {-1, -1.1e-7, true},
        {1e-7, 1, false},
        {-1e-7, 1, false},
        {1.1e-7, 1, true},
        {-1.1e-7, 1, true},
        {0, 0, false},
        {kNaN, 1, false},
        {1, kNaN, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimesPassCheck(c.start, c.end), c.passes) << c.start << " .. " << c.end;
}

TEST(BytesPerMillisecond, TruncatesTheQuotient)
{
    const struct {
        std::int32_t bytes, ms, expected;
    } cases[] = {
        {4'000'000, 240'000, 16}, {3, 0, 0},       {0, 0, 0},          {100, 240'000, 0},
        {7, 2, 3},                {-7, 2, -3},     {kMax, 1, kMax},    {kMax, kMax, 1},
        {kMin, 1, kMin},          {kMin, -1, kMax}, {kMax - 1, kMax, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesPerMillisecond(c.bytes, c.ms), c.expected) << c.bytes << " / " << c.ms;
}

TEST(CutBytes, TruncateTowardZeroAndClampNonFiniteToZero)
{
    EXPECT_EQ(CutFirstByte(0.0001, 16), 1);     // 1.6
    EXPECT_EQ(CutFirstByte(-0.0001, 16), -1);   // -1.6
    EXPECT_EQ(CutFirstByte(-0.00001, 16), 0);   // -0.16
    // start × A rounds first: 0.019 × 3 × 1000 is 56.99…, where 0.019 × 3000 is 57.
    EXPECT_EQ(CutFirstByte(0.019, 3), 56);
    EXPECT_EQ(CutByteCount(0, 0.019, 3), 56);
    EXPECT_EQ(CutFirstByte(1e300, 16), kMax);
    EXPECT_EQ(CutFirstByte(-1e300, 16), kMin);
    EXPECT_EQ(CutByteCount(1e300, -1e300, 16), kMin);
    EXPECT_EQ(CutFirstByte(kNaN, 16), 0);
    EXPECT_EQ(CutFirstByte(kInf, 16), 0);
    EXPECT_EQ(CutFirstByte(-kInf, 16), 0);
    EXPECT_EQ(CutFirstByte(1e306, 16), 0); // 1.6e307 × 1000 overflows to infinity
    EXPECT_EQ(CutByteCount(kInf, kInf, 16), 0);
    EXPECT_EQ(CutByteCount(1, kNaN, 16), 0);
}

// A 4 000 000-byte song of 240 s: 16 bytes a millisecond.
TEST(CutBytes, WorkedExampleCopiesTheRightBytes)
{
    constexpr std::int32_t kLength = 4'000'000;
    const std::vector<std::byte> song = cut_test::Pattern(kLength, 1);
    const std::int32_t perMs = BytesPerMillisecond(kLength, 240'000);
    ASSERT_EQ(perMs, 16);

    const struct {
        double start, end;
        std::int32_t first, count;
        ByteRange range;
    } cases[] = {
        {10, 20, 160'000, 160'000, {159'999, 160'000}},
        {230, 300, 3'680'000, 1'120'000, {3'679'999, 320'001}},
        {250, 260, 4'000'000, 160'000, {3'999'999, 1}},
        {251, 260, 4'016'000, 144'000, {kLength, 0}},
        {-5, 10, -80'000, 240'000, {0, 240'000}},
        {10, 10, 160'000, 0, {159'999, 0}},
        // 3.2e9 wrapped to 32 bits would start the cut at -1 094 967 296, i.e. at byte 0.
        {200'000, 200'010, kMax, 160'000, {kLength, 0}},
        {10, 200'000, 160'000, kMax, {159'999, 3'840'001}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " .. " << c.end);
        const std::int32_t first = CutFirstByte(c.start, perMs);
        const std::int32_t count = CutByteCount(c.start, c.end, perMs);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(count, c.count);
        const ByteRange range = MidRange(kLength, first, count);
        EXPECT_EQ(range, c.range);

        ByteBuffer whole = ByteBuffer::Allocate(kLength);
        std::copy(song.begin(), song.end(), whole.data());
        const ByteBuffer cut = MidBytes(std::move(whole), first, count);
        ASSERT_EQ(cut.size(), c.range.count);
        EXPECT_EQ(cut.data() == nullptr, c.range.count == 0);
        EXPECT_TRUE(std::equal(cut.bytes().begin(), cut.bytes().end(), song.begin() + c.range.offset));
    }
}

TEST(MidRange, StaysInsideTheFileAtTheLimits)
{
    const struct {
        std::int32_t length, first, count;
        ByteRange expected;
    } cases[] = {
        {0, 1, 10, {0, 0}},
        {0, kMin, kMax, {0, 0}},
        {0, kMax, kMax, {0, 0}},
        {100, kMin, kMax, {0, 100}},
        {100, kMin, kMin, {0, 0}},
        {100, kMax, kMax, {100, 0}},
        {100, kMax, kMin, {100, 0}},
        {100, 50, kMax, {49, 51}},
        {100, 0, 5, {0, 5}},
        {100, 100, 5, {99, 1}},
        {100, 101, 5, {100, 0}},
        {100, 1, -5, {0, 0}},
        {kMax, kMax, kMax, {kMax - 1, 1}},
        {kMax, 2, kMax, {1, kMax - 1}},
        {kMax, kMin, kMax, {0, kMax}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MidRange(c.length, c.first, c.count), c.expected)
            << "L " << c.length << " P " << c.first << " K " << c.count;
}

} // namespace

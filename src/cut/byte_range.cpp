#include "cut/byte_range.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Clamped rather than wrapped: a wrapped start byte could turn a cut past the
// end of the file into one near its beginning.
std::int32_t TruncateToInt32(double value)
{
    if (!std::isfinite(value))
        return 0;
    value = std::trunc(value);
    if (value >= static_cast<double>(kInt32Max))
        return kInt32Max;
    if (value <= static_cast<double>(kInt32Min))
        return kInt32Min;
    return static_cast<std::int32_t>(value);
}

} // namespace

bool TimesPassCheck(double start, double end)
{
    if (end - start < -0.0000001)
        return false;
    // Written as "not above" so that NaN fails.
    if (!(std::fabs(end) > 0.0000001))
        return false;
    if (!(std::fabs(start) > 0.0000001))
        return false;
    return true;
}

std::int32_t BytesPerMillisecond(std::int32_t fileBytes, std::int32_t lengthMs)
{
    if (lengthMs == 0)
        return 0;
    return TruncateToInt32(static_cast<double>(fileBytes) / static_cast<double>(lengthMs));
}

std::int32_t CutFirstByte(double start, std::int32_t bytesPerMs)
{
    const double perSecond = start * bytesPerMs;
    return TruncateToInt32(perSecond * 1000.0);
}

std::int32_t CutByteCount(double start, double end, std::int32_t bytesPerMs)
{
    const double perSecond = (end - start) * bytesPerMs;
    return TruncateToInt32(perSecond * 1000.0);
}

ByteRange MidRange(std::int32_t length, std::int32_t firstByte, std::int32_t count)
{
    // 64-bit so that P − 1 and offset + K cannot overflow.
    const std::int64_t size = std::max<std::int64_t>(length, 0);
    const std::int64_t offset = std::clamp<std::int64_t>(std::int64_t{firstByte} - 1, 0, size);
    const std::int64_t n = std::min<std::int64_t>(std::max<std::int64_t>(count, 0), size - offset);
    return {static_cast<std::int32_t>(offset), static_cast<std::int32_t>(n)};
}

ByteBuffer MidBytes(ByteBuffer&& file, std::int32_t firstByte, std::int32_t count)
{
    ByteBuffer cut = std::move(file);
    const ByteRange range = MidRange(cut.size(), firstByte, count);
    cut.KeepRange(range.offset, range.count);
    return cut;
}

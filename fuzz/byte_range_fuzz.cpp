// The cut's byte range against a model in exact 128-bit arithmetic, for what
// the program can feed it: a file of L bytes (0 … 2^31 − 1), a song length M in
// ms (0 … 2^31 − 1), and whole start and end seconds in the 32-bit range.
// The range copied must lie inside the file and match the model; for small
// files the bytes are really copied (the sanitizer watches the reads).
#include "cut/byte_range.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

using i128 = __int128;

i128 Clamp32(i128 v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v;
}

template <typename T>
T Take(const std::uint8_t*& data, std::size_t& size)
{
    T value{};
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

// The file's byte at an index, so a shifted cut shows.
std::byte Byte(std::int64_t index)
{
    return static_cast<std::byte>(index * 7 + 3);
}

void Fail(const char* what, long long got, long long want)
{
    std::fprintf(stderr, "%s: got %lld, the model %lld\n", what, got, want);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t fileBytes = Take<std::int32_t>(data, size) & INT32_MAX;
    const std::int32_t lengthMs = Take<std::int32_t>(data, size) & INT32_MAX;
    const std::int32_t start = Take<std::int32_t>(data, size);
    const std::int32_t end = Take<std::int32_t>(data, size);
    // Small files as often as large ones, so the copy itself gets exercised.
    const bool small = Take<std::uint8_t>(data, size) & 1;
    const std::int32_t length = small ? fileBytes % 4096 : fileBytes;

    const i128 a = lengthMs == 0 ? 0 : Clamp32(i128{length} / lengthMs);
    const std::int32_t bytesPerMs = BytesPerMillisecond(length, lengthMs);
    if (bytesPerMs != a)
        Fail("BytesPerMillisecond", bytesPerMs, static_cast<long long>(a));

    const i128 p = Clamp32(i128{start} * a * 1000);
    const i128 k = Clamp32((i128{end} - start) * a * 1000);
    const std::int32_t firstByte = CutFirstByte(start, bytesPerMs);
    const std::int32_t count = CutByteCount(start, end, bytesPerMs);
    if (firstByte != p)
        Fail("CutFirstByte", firstByte, static_cast<long long>(p));
    if (count != k)
        Fail("CutByteCount", count, static_cast<long long>(k));

    const ByteRange range = MidRange(length, firstByte, count);
    const i128 offset = p - 1 < 0 ? 0 : p - 1 > length ? length : p - 1;
    const i128 rest = length - offset;
    const i128 n = k < 0 ? 0 : k > rest ? rest : k;
    if (range.offset < 0 || range.count < 0 || i128{range.offset} + range.count > length)
        Fail("MidRange outside the file, offset", range.offset, static_cast<long long>(offset));
    if (range.offset != offset)
        Fail("MidRange offset", range.offset, static_cast<long long>(offset));
    if (range.count != n)
        Fail("MidRange count", range.count, static_cast<long long>(n));

    if (small) {
        ByteBuffer file = ByteBuffer::TryAllocate(length);
        for (std::int32_t i = 0; i < file.size(); ++i)
            file.data()[i] = Byte(i);
        const ByteBuffer cut = MidBytes(std::move(file), firstByte, count);
        if (cut.size() != n)
            Fail("MidBytes size", cut.size(), static_cast<long long>(n));
        bool same = true;
        for (std::int32_t i = 0; i < cut.size(); ++i)
            same = same && cut.data()[i] == Byte(range.offset + i);
        if (!same)
            Fail("MidBytes bytes at offset", range.offset, static_cast<long long>(offset));
    }
    return 0;
}

#pragma once

#include "cut/byte_buffer.h"

#include <cstdint>
#include <span>

// The time check: end may equal start, neither may be 0, negatives pass.
[[nodiscard]] bool TimesPassCheck(double start, double end);

// A: whole bytes per millisecond, L / M truncated; 0 when M is 0.
[[nodiscard]] std::int32_t BytesPerMillisecond(std::int32_t fileBytes, std::int32_t lengthMs);

// P = start × A × 1000 and K = (end − start) × A × 1000, each truncated toward
// zero and clamped to the 32-bit range (a value that is not finite gives 0).
[[nodiscard]] std::int32_t CutFirstByte(double start, std::int32_t bytesPerMs);
[[nodiscard]] std::int32_t CutByteCount(double start, double end, std::int32_t bytesPerMs);

struct ByteRange {
    std::int32_t offset = 0; // counted from 0
    std::int32_t count = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// The range MidBytes copies from a buffer of length L, with P counted from 1.
[[nodiscard]] ByteRange MidRange(std::int32_t length, std::int32_t firstByte, std::int32_t count);

// Bytes P−1 … P−1+n−1 of F (clamped to F); empty when n is 0. F is used up:
// the cut is made in its memory and the rest given back, so a cut of any size
// costs no fresh memory and, from the start of the file, no copy.
[[nodiscard]] ByteBuffer MidBytes(ByteBuffer&& file, std::int32_t firstByte, std::int32_t count);

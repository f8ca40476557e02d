#include "ui/whole_number.h"

#include <cstdint>
#include <limits>

bool IsAcceptedTypedCharacter(char32_t c) noexcept
{
    if (c < 32 || c == 0x7F)
        return true;
    return (c >= U'0' && c <= U'9') || c == U'-';
}

std::string NormaliseWholeNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // Accumulate the magnitude saturating at 2^63; digits past the 64-bit range keep the limit.
    constexpr std::uint64_t limit = std::uint64_t{1} << 63;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    std::int64_t value;
    if (negative)
        value = magnitude >= limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    else
        value = magnitude >= limit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);

    if (value < std::numeric_limits<std::int32_t>::min())
        value = std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        value = std::numeric_limits<std::int32_t>::max();
    if (value == 0)
        return {};
    return std::to_string(value);
}

#include "cut/text_to_number.h"

#include "cut/full_width.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string>

char16_t FoldFullWidth(char16_t c) noexcept
{
    switch (c) {
    case u'\u3000': return u' ';
    case u'\u2605':
    case u'\u2606': return u'*';
    case u'\uFFE5': return u'$'; // its double-byte form sits where ＄ would
    case u'\uFFE3': return u'~'; // likewise for ～'s place in the row
    case u'\uFF04': return c;    // ＄ lives outside the full-width row there
    default: break;
    }
    if (c >= u'\uFF01' && c <= u'\uFF5E')
        return static_cast<char16_t>(c - 0xFEE0);
    return c;
}

namespace {

// The folded character as ASCII, or 0 for anything a number cannot contain.
char FoldedAscii(char16_t c)
{
    const char16_t folded = FoldFullWidth(c);
    return folded < 0x80 ? static_cast<char>(folded) : '\0';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// from_chars does not say which way a number fell out of range; the decimal
// position of the first significant digit does.
bool IsTooLarge(const std::string& mantissa, long long exponent)
{
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos)
        return false;
    const long long position = first < point ? static_cast<long long>(point - first) - 1
                                             : -static_cast<long long>(first - point);
    return position + exponent > 0;
}

} // namespace

double TextToNumber(std::u16string_view text)
{
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? FoldedAscii(text[k]) : '\0'; };

    while (IsBlank(at(i)))
        ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-')
        negative = at(i++) == '-';

    std::string mantissa;
    bool anyDigit = false;
    for (; IsDigit(at(i)); ++i, anyDigit = true)
        mantissa += at(i);
    if (at(i) == '.') {
        mantissa += at(i++);
        for (; IsDigit(at(i)); ++i, anyDigit = true)
            mantissa += at(i);
    }
    if (!anyDigit)
        return 0.0;

    std::string number = mantissa;
    long long exponent = 0;
    const char mark = at(i);
    if (mark == 'e' || mark == 'E' || mark == 'd' || mark == 'D') {
        std::size_t k = i + 1;
        const bool expNegative = at(k) == '-';
        if (at(k) == '+' || at(k) == '-')
            ++k;
        if (IsDigit(at(k))) {
            number += 'e';
            if (expNegative)
                number += '-';
            for (; IsDigit(at(k)); ++k) {
                number += at(k);
                exponent = std::min(exponent * 10 + (at(k) - '0'), 1'000'000'000LL);
            }
            if (expNegative)
                exponent = -exponent;
        }
    }

    double value = 0.0;
    const char* const end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range)
        value = IsTooLarge(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc() || ptr != end)
        value = 0.0;
    return negative ? -value : value;
}

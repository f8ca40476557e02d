// TextToNumber against a reading of its own: the accepted prefix (blanks, a
// sign, digits with at most one point, an exponent only when digits follow)
// found after folding, then handed to the C library's strtod in the C locale
// with d/D turned into e. Both must give the same double, bit for bit.
#include "cut/text_to_number.h"

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Full-width forms folded to ASCII; anything else outside ASCII stops the number.
char Fold(char16_t c)
{
    if (c == u'\u3000')
        return ' ';
    if (c >= 0xFF01 && c <= 0xFF5E && c != 0xFF04)
        return static_cast<char>(c - 0xFEE0);
    return c < 0x80 ? static_cast<char>(c) : '\x7f';
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

double Reference(const std::u16string& text)
{
    std::string s;
    for (char16_t c : text)
        s += Fold(c);
    s += '\x7f';
    std::size_t i = 0;
    while (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))
        ++i;
    const std::size_t begin = i;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    std::size_t digits = 0;
    for (; Digit(s[i]); ++i)
        ++digits;
    if (s[i] == '.')
        for (++i; Digit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0.0;
    std::string prefix = s.substr(begin, i - begin);
    if (std::strchr("eEdD", s[i]) && s[i] != '\0') {
        std::size_t k = i + 1;
        if (s[k] == '+' || s[k] == '-')
            ++k;
        if (Digit(s[k])) {
            while (Digit(s[k]))
                ++k;
            prefix += 'e' + s.substr(i + 1, k - i - 1);
        }
    }
    char* end = nullptr;
    const double value = std::strtod(prefix.c_str(), &end);
    if (*end != '\0')
        std::abort(); // the reference's own prefix must read whole
    return value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    return 0;
}

// The first byte picks the reading of the rest: raw UTF-16 units, or one
// character a byte from an alphabet of what numbers are made of.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char16_t alphabet[] = u"0123456789.+-eEdD \t\nx\u3000\uFF10\uFF11\uFF19\uFF0E\uFF0B\uFF0D\uFF45\uFF24\u2605\uFFE5";
    constexpr std::size_t kAlphabet = sizeof alphabet / sizeof alphabet[0] - 1;
    if (size == 0)
        return 0;
    std::u16string text;
    if (data[0] & 1) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    } else {
        for (std::size_t i = 1; i < size; ++i)
            text += alphabet[data[i] % kAlphabet];
    }
    const double got = TextToNumber(text);
    const double want = Reference(text);
    if (std::memcmp(&got, &want, sizeof got) != 0) {
        std::fprintf(stderr, "TextToNumber gave %.17g, the reference %.17g\n", got, want);
        std::abort();
    }
    return 0;
}

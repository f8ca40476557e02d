// NormaliseWholeNumber against strtoll (saturating at the 64-bit limits),
// clamped to the 32-bit range, printed in decimal, with 0 as empty.
#include "ui/whole_number.h"

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10); // stops at an embedded NUL, as the box does
    if (value < INT32_MIN)
        value = INT32_MIN;
    if (value > INT32_MAX)
        value = INT32_MAX;
    char want[32] = "";
    if (value != 0)
        std::snprintf(want, sizeof want, "%lld", value);

    const std::string got = NormaliseWholeNumber(text);
    if (got != want) {
        std::fprintf(stderr, "NormaliseWholeNumber gave \"%s\", the reference \"%s\"\n", got.c_str(), want);
        std::abort();
    }
    return 0;
}

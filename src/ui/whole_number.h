#pragma once

#include <string>
#include <string_view>

// Typed input of the time boxes: digits and the minus sign only, for every
// character of code 32 and above (control characters act as usual).
[[nodiscard]] bool IsAcceptedTypedCharacter(char32_t c) noexcept;

// What a time box holds after it loses the focus: its leading integer, read as
// a 64-bit number, clamped to the 32-bit range, in decimal; "0" becomes empty.
[[nodiscard]] std::string NormaliseWholeNumber(std::string_view text);

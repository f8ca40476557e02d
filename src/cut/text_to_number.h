#pragma once

#include <string_view>

// Reads the leading decimal number of a text, after folding full-width forms
// (１２．５, the ideographic space, ～, ☆, ★) to ASCII. Exponent letters e, E, d, D.
// A text that does not begin with a number gives 0.
[[nodiscard]] double TextToNumber(std::u16string_view text);

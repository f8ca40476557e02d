#pragma once

// One UTF-16 unit with the full-width forms folded to ASCII: the full-width
// ASCII row, ￥ (to $), ￣ and ～ (to ~), the ideographic space (to a blank),
// ☆ and ★ (to *). Everything else comes back unchanged.
[[nodiscard]] char16_t FoldFullWidth(char16_t c) noexcept;

#pragma once

#include "cut/byte_buffer.h"

#include <filesystem>
#include <span>

// The whole file in one buffer; empty when the path is empty, the file cannot
// be opened or read, or is empty. Nothing is reported.
[[nodiscard]] ByteBuffer ReadWholeFile(const std::filesystem::path& path);

// Replaces the file at path with bytes, atomically: the bytes go to a temporary
// file beside it, reach the disk, and only then take the file's place. False
// (and the old file untouched, no temporary left) on any failure.
[[nodiscard]] bool WriteBytesToFile(const std::filesystem::path& path, std::span<const std::byte> bytes);

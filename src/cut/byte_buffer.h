#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// A length (32-bit signed, as the program counts bytes) and that many bytes.
// An empty buffer owns no storage. Move-only: a cut is never copied by accident.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer() = default;

    // Uninitialised storage for n bytes (the caller overwrites them all).
    // When the memory cannot be had, the out-of-memory handler runs and does not return.
    [[nodiscard]] static ByteBuffer Allocate(std::int32_t n);
    // As Allocate, but an empty buffer when the memory cannot be had.
    [[nodiscard]] static ByteBuffer TryAllocate(std::int32_t n) noexcept;

    [[nodiscard]] std::int32_t size() const noexcept { return size_; }
    [[nodiscard]] bool empty() const noexcept { return size_ == 0; }
    [[nodiscard]] std::byte* data() noexcept { return bytes_.get(); }
    [[nodiscard]] const std::byte* data() const noexcept { return bytes_.get(); }
    [[nodiscard]] std::span<std::byte> bytes() noexcept { return {bytes_.get(), static_cast<std::size_t>(size_)}; }
    [[nodiscard]] std::span<const std::byte> bytes() const noexcept { return {bytes_.get(), static_cast<std::size_t>(size_)}; }

    // Keeps only the first n bytes (n <= size()); the storage stays as it is.
    void Shrink(std::int32_t n) noexcept;
    // Keeps only the count bytes from offset (inside the buffer), moved to the
    // front; the storage past them is given back. No new memory is touched.
    void KeepRange(std::int32_t offset, std::int32_t count) noexcept;
    void Release() noexcept;

private:
    struct FreeBytes {
        void operator()(std::byte* bytes) const noexcept;
    };
    // malloc'd rather than new[]: a kept range gives its tail back with realloc.
    std::unique_ptr<std::byte, FreeBytes> bytes_;
    std::int32_t size_ = 0;
};

// What runs when a byte buffer cannot be had. The program installs one that
// reports the failure and ends; the default ends the process at once.
using OutOfMemoryHandler = void (*)(std::size_t bytesAskedFor);
void SetOutOfMemoryHandler(OutOfMemoryHandler handler) noexcept;
[[noreturn]] void ReportOutOfMemory(std::size_t bytesAskedFor);

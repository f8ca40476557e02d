#include "cut/byte_buffer.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {
std::atomic<OutOfMemoryHandler> g_outOfMemory{nullptr};

// A large buffer is filled once, straight after it is had (a whole song, a
// cut). Fresh memory costs a page fault every 4 KiB; asking for huge pages on
// the part of it they can cover makes that one fault every 2 MiB. Only advice:
// the bytes are the same either way, and nothing changes where it is refused.
void AdviseHugePages([[maybe_unused]] std::byte* bytes, [[maybe_unused]] std::size_t n) noexcept
{
#ifdef __linux__
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (n < 2 * kHuge)
        return;
    const auto first = (reinterpret_cast<std::uintptr_t>(bytes) + kHuge - 1) & ~(kHuge - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(bytes) + n) & ~(kHuge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}
} // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept
{
    bytes_ = std::move(other.bytes_);
    size_ = std::exchange(other.size_, 0);
    return *this;
}

ByteBuffer ByteBuffer::TryAllocate(std::int32_t n) noexcept
{
    ByteBuffer buffer;
    if (n <= 0)
        return buffer;
    // malloc leaves the bytes unset: no zero-filling.
    buffer.bytes_.reset(static_cast<std::byte*>(std::malloc(static_cast<std::size_t>(n))));
    if (buffer.bytes_) {
        buffer.size_ = n;
        AdviseHugePages(buffer.bytes_.get(), static_cast<std::size_t>(n));
    }
    return buffer;
}

ByteBuffer ByteBuffer::Allocate(std::int32_t n)
{
    ByteBuffer buffer = TryAllocate(n);
    if (n > 0 && buffer.empty())
        ReportOutOfMemory(static_cast<std::size_t>(n));
    return buffer;
}

void ByteBuffer::Shrink(std::int32_t n) noexcept
{
    if (n <= 0)
        Release();
    else if (n < size_)
        size_ = n;
}

void ByteBuffer::KeepRange(std::int32_t offset, std::int32_t count) noexcept
{
    if (count <= 0 || offset < 0 || offset >= size_) {
        Release();
        return;
    }
    if (count > size_ - offset)
        count = size_ - offset;
    if (offset > 0)
        std::memmove(bytes_.get(), bytes_.get() + offset, static_cast<std::size_t>(count));
    // Shrinking in place; where realloc declines, the larger block stays valid.
    if (count < size_) {
        if (void* kept = std::realloc(bytes_.get(), static_cast<std::size_t>(count))) {
            (void)bytes_.release();
            bytes_.reset(static_cast<std::byte*>(kept));
        }
    }
    size_ = count;
}

void ByteBuffer::FreeBytes::operator()(std::byte* bytes) const noexcept { std::free(bytes); }

void ByteBuffer::Release() noexcept
{
    bytes_.reset();
    size_ = 0;
}

void SetOutOfMemoryHandler(OutOfMemoryHandler handler) noexcept
{
    g_outOfMemory.store(handler);
}

void ReportOutOfMemory(std::size_t bytesAskedFor)
{
    if (OutOfMemoryHandler handler = g_outOfMemory.load())
        handler(bytesAskedFor);
    std::fprintf(stderr, "zembrot: out of memory (%zu bytes)\n", bytesAskedFor);
    std::_Exit(EXIT_FAILURE);
}

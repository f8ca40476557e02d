#include "cut/byte_buffer.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

namespace {
std::atomic<OutOfMemoryHandler> g_outOfMemory{nullptr};
}

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
    // new[] of std::byte without an initialiser leaves the bytes unset: no zero-filling.
    buffer.bytes_.reset(new (std::nothrow) std::byte[static_cast<std::size_t>(n)]);
    if (buffer.bytes_)
        buffer.size_ = n;
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

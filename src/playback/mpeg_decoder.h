#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include <mpg123.h>

// One MPEG audio stream decoded by libmpg123 to interleaved signed 16-bit
// samples at the stream's own rate and channel count.
class MpegDecoder {
public:
    // Reads the stream from fd, which must stay open while the decoder lives.
    // Nothing when no frame of MPEG audio decodes.
    [[nodiscard]] static std::optional<MpegDecoder> Open(int fd);
    MpegDecoder(MpegDecoder&&) noexcept;
    MpegDecoder& operator=(MpegDecoder&&) noexcept;
    ~MpegDecoder();

    [[nodiscard]] long Rate() const { return rate_; }
    [[nodiscard]] int Channels() const { return channels_; }
    [[nodiscard]] std::size_t FrameBytes() const { return static_cast<std::size_t>(channels_) * 2; }
    // Decoded length in sample frames, encoder delay and padding removed.
    [[nodiscard]] std::int64_t LengthFrames() const { return lengthFrames_; }

    // Fills out with whole sample frames; returns the bytes written, fewer
    // than size only at the end of the stream, when done becomes true.
    std::size_t Read(unsigned char* out, std::size_t size, bool& done);
    // Seeks to a sample frame; the frame reached or -1.
    std::int64_t Seek(std::int64_t frame);

private:
    using Handle = std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)>;
    // Large reads of the file for libmpg123, which asks for a few bytes at a time.
    struct Reader;
    explicit MpegDecoder(Handle handle);

    std::unique_ptr<Reader> reader_; // before handle_: outlives it
    Handle handle_;
    long rate_ = 0;
    int channels_ = 0;
    std::int64_t lengthFrames_ = 0;
};

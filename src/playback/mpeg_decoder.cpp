#include "playback/mpeg_decoder.h"

#include <array>
#include <mutex>

namespace {

// mpg123_read may return without output while it skips tags or frames that
// gapless trimming removes; this many empty reads in a row means it is stuck.
constexpr int kMaxEmptyReads = 64;

} // namespace

std::optional<MpegDecoder> MpegDecoder::Open(int fd)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });

    int error = MPG123_OK;
    MpegDecoder decoder(Handle(mpg123_new(nullptr, &error), &mpg123_delete));
    mpg123_handle* h = decoder.handle_.get();
    if (h == nullptr) {
        return std::nullopt;
    }
    // No Frankenstein streams: the format cannot change mid-song and decoding
    // ends where an info frame says the song ends, before any junk after it.
    if (mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_FRANKENSTEIN, 0.0) != MPG123_OK
        || mpg123_open_fd(h, fd) != MPG123_OK) {
        return std::nullopt;
    }
    int encoding = 0;
    if (mpg123_getformat(h, &decoder.rate_, &decoder.channels_, &encoding) != MPG123_OK
        || decoder.rate_ <= 0 || (decoder.channels_ != 1 && decoder.channels_ != 2)) {
        return std::nullopt;
    }
    // Only this one output format, so the stream cannot change it under the device.
    if (mpg123_format_none(h) != MPG123_OK
        || mpg123_format(h, decoder.rate_, decoder.channels_, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        return std::nullopt;
    }
    // A full scan gives the exact length even without an info frame.
    if (mpg123_scan(h) != MPG123_OK) {
        return std::nullopt;
    }
    decoder.lengthFrames_ = mpg123_length(h);
    if (decoder.lengthFrames_ <= 0) {
        return std::nullopt;
    }
    // The parser accepts a lot of junk; only a frame that really decodes counts.
    std::array<unsigned char, 4608> probe{};
    bool done = false;
    if (decoder.Read(probe.data(), probe.size(), done) == 0 || decoder.Seek(0) != 0) {
        return std::nullopt;
    }
    return decoder;
}

std::size_t MpegDecoder::Read(unsigned char* out, std::size_t size, bool& done)
{
    const std::size_t frameBytes = FrameBytes();
    size = size / frameBytes * frameBytes;
    std::size_t filled = 0;
    int emptyReads = 0;
    while (filled < size) {
        std::size_t got = 0;
        const int result = mpg123_read(handle_.get(), out + filled, size - filled, &got);
        filled += got;
        if (result == MPG123_DONE) {
            done = true;
            break;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            // Damage it could not resync past: the song ends here.
            done = true;
            break;
        }
        emptyReads = got == 0 ? emptyReads + 1 : 0;
        if (emptyReads > kMaxEmptyReads) {
            done = true;
            break;
        }
    }
    return filled;
}

std::int64_t MpegDecoder::Seek(std::int64_t frame)
{
    const off_t reached = mpg123_seek(handle_.get(), static_cast<off_t>(frame), SEEK_SET);
    return reached < 0 ? -1 : static_cast<std::int64_t>(reached);
}

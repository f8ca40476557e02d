#include "playback/mpeg_decoder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// mpg123_read may return without output while it skips tags or frames that
// gapless trimming removes; this many empty reads in a row means it is stuck.
constexpr int kMaxEmptyReads = 64;

// One read of the file fills this much; libmpg123 on its own reads a frame's
// header and then its body, two system calls a frame (the length scan reads
// the whole song that way).
constexpr std::size_t kReadAheadBytes = 128 * 1024;

#ifdef _WIN32
long long ReadFd(int fd, void* into, std::size_t n) { return ::_read(fd, into, static_cast<unsigned>(n)); }
off_t SeekFd(int fd, off_t offset, int whence) { return static_cast<off_t>(::_lseeki64(fd, offset, whence)); }
#else
long long ReadFd(int fd, void* into, std::size_t n) { return ::read(fd, into, n); }
off_t SeekFd(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
#endif

} // namespace

// The file through a read-ahead buffer: the same bytes, errors and positions
// as reading the descriptor directly.
struct MpegDecoder::Reader {
    explicit Reader(int descriptor) : fd(descriptor) {}

    static mpg123_ssize_t Read(void* self, void* out, std::size_t n)
    {
        return static_cast<Reader*>(self)->ReadSome(static_cast<unsigned char*>(out), n);
    }
    static off_t Seek(void* self, off_t offset, int whence)
    {
        return static_cast<Reader*>(self)->SeekTo(offset, whence);
    }

    mpg123_ssize_t ReadSome(unsigned char* out, std::size_t n)
    {
        if (begin == end) {
            // A request as large as the buffer goes straight to the file.
            unsigned char* into = n >= buffer.size() ? out : buffer.data();
            long long got;
            do
                got = ReadFd(fd, into, into == out ? n : buffer.size());
            while (got < 0 && errno == EINTR);
            if (got <= 0)
                return static_cast<mpg123_ssize_t>(got);
            filePos += static_cast<off_t>(got);
            if (into == out)
                return static_cast<mpg123_ssize_t>(got);
            begin = 0;
            end = static_cast<std::size_t>(got);
        }
        const std::size_t taken = std::min(n, end - begin);
        std::memcpy(out, buffer.data() + begin, taken);
        begin += taken;
        return static_cast<mpg123_ssize_t>(taken);
    }

    off_t SeekTo(off_t offset, int whence)
    {
        const off_t here = filePos - static_cast<off_t>(end - begin);
        const off_t bufferStart = filePos - static_cast<off_t>(end);
        off_t target = offset;
        if (whence == SEEK_CUR)
            target = here + offset;
        if (whence != SEEK_END && target >= bufferStart && target <= filePos) {
            begin = static_cast<std::size_t>(target - bufferStart);
            return target;
        }
        const off_t reached = whence == SEEK_END ? SeekFd(fd, offset, SEEK_END) : SeekFd(fd, target, SEEK_SET);
        if (reached < 0)
            return reached;
        filePos = reached;
        begin = end = 0;
        return reached;
    }

    int fd;
    off_t filePos = 0; // the descriptor's position: just past the buffered bytes
    std::size_t begin = 0, end = 0;
    std::array<unsigned char, kReadAheadBytes> buffer;
};

MpegDecoder::MpegDecoder(Handle handle) : handle_(std::move(handle)) {}
MpegDecoder::MpegDecoder(MpegDecoder&&) noexcept = default;
MpegDecoder& MpegDecoder::operator=(MpegDecoder&&) noexcept = default;
MpegDecoder::~MpegDecoder() = default;

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
    const off_t start = SeekFd(fd, 0, SEEK_CUR);
    if (start < 0) {
        return std::nullopt;
    }
    decoder.reader_ = std::make_unique<Reader>(fd);
    decoder.reader_->filePos = start;
    if (mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_FRANKENSTEIN, 0.0) != MPG123_OK
        || mpg123_replace_reader_handle(h, &Reader::Read, &Reader::Seek, nullptr) != MPG123_OK
        || mpg123_open_handle(h, decoder.reader_.get()) != MPG123_OK) {
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

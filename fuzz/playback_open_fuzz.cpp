// Arbitrary bytes as a song: written to a file named .mp3, opened by the
// playback device (which scans the whole stream and decodes its first frame),
// and then decoded for a short stretch through the decoder the device uses.
// A false Open or a length, never a crash, a hang or a sanitizer report.
#include "playback/mpeg_decoder.h"
#include "playback/playback_device.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string g_path;

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const char* dir = std::getenv("TMPDIR");
    g_path = std::string(dir && *dir ? dir : "/tmp") + "/zembrot-fuzz-" + std::to_string(getpid()) + ".mp3";
    std::atexit([] { unlink(g_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        FILE* out = std::fopen(g_path.c_str(), "wb");
        Check(out && std::fwrite(data, 1, size, out) == size && std::fclose(out) == 0, "cannot write the song");
    }
    static PlaybackDevice device; // one audio system for the whole run
    const bool opened = device.Open(g_path);
    const std::int32_t length = device.GetLength();
    Check(opened ? length > 0 : length == 0, "the length does not match the Open result");
    Check(device.GetState() == (opened ? PlaybackState::Stopped : PlaybackState::Unavailable), "wrong state after Open");
    device.Close();

    const int fd = open(g_path.c_str(), O_RDONLY | O_CLOEXEC);
    Check(fd >= 0, "cannot reopen the song");
    if (std::optional<MpegDecoder> decoder = MpegDecoder::Open(fd)) {
        Check(opened, "the decoder opens what the device refused");
        Check(decoder->LengthFrames() * 1000 / decoder->Rate() == length, "the decoder's length differs");
        std::array<unsigned char, 4608 * 4> buffer{};
        std::size_t total = 0;
        bool done = false;
        for (int i = 0; i < 8 && !done; ++i) {
            const std::size_t got = decoder->Read(buffer.data(), buffer.size(), done);
            Check(got % decoder->FrameBytes() == 0 && got <= buffer.size(), "a partial sample frame");
            Check(done || got == buffer.size(), "a short read before the end");
            total += got;
        }
        // A seek into damage may fail; it must not crash.
        (void)decoder->Seek(decoder->LengthFrames() / 2);
        (void)total;
    } else {
        Check(!opened, "the device opened what the decoder refuses");
    }
    close(fd);
    return 0;
}

// Opens a song on the playback device and asks its exact length, timed.
// Usage: zembrot_bench_length SONG   (run with SDL_AUDIODRIVER=dummy)
#include "playback/playback_device.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SONG\n", argv[0]);
        return 2;
    }
    PlaybackDevice device; // SDL's audio starts here, outside the timing
    const auto t0 = std::chrono::steady_clock::now();
    const bool opened = device.Open(argv[1]);
    const std::int32_t length_ms = device.GetLength();
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("seconds=%.6f opened=%d length_ms=%d\n", std::chrono::duration<double>(t1 - t0).count(),
                opened ? 1 : 0, length_ms);
    return opened ? 0 : 1;
}

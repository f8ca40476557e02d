// Saves a cut the way the save button does (no dialogs): the whole song read,
// the byte range in proportion to the length, the cut kept in the song's memory,
// the atomic save. Prints the time of those steps and the peak memory.
// Usage: zembrot_bench_cut SONG TARGET LENGTH_MS START_S END_S
#include "cut/byte_range.h"
#include "cut/whole_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s SONG TARGET LENGTH_MS START_S END_S\n", argv[0]);
        return 2;
    }
    const std::filesystem::path song_path = argv[1];
    const std::filesystem::path target = argv[2];
    const auto length_ms = static_cast<std::int32_t>(std::atol(argv[3]));
    const double start = std::atof(argv[4]);
    const double end = std::atof(argv[5]);

    const auto t0 = std::chrono::steady_clock::now();
    ByteBuffer song = ReadWholeFile(song_path);
    const std::int32_t bytes_per_ms = BytesPerMillisecond(song.size(), length_ms);
    const std::int32_t first_byte = CutFirstByte(start, bytes_per_ms);
    const std::int32_t count = CutByteCount(start, end, bytes_per_ms);
    const std::int32_t song_bytes = song.size();
    ByteBuffer cut = MidBytes(std::move(song), first_byte, count);
    const bool saved = !cut.empty() && WriteBytesToFile(target, cut.bytes());
    const auto t1 = std::chrono::steady_clock::now();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seconds=%.6f song_bytes=%d first_byte=%d count=%d cut_bytes=%d maxrss_kib=%ld saved=%d\n",
                std::chrono::duration<double>(t1 - t0).count(), song_bytes, first_byte, count, cut.size(),
                usage.ru_maxrss, saved ? 1 : 0);
    return saved ? 0 : 1;
}

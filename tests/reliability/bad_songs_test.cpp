// Bad songs through the playback device: each one either opens with its true
// length or gives a false Open, and never crashes or hangs (ctest runs every
// row as a test of its own with a timeout).
#include "cut/whole_file.h"
#include "playback/playback_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::filesystem::path In(const char* dir, const char* name) { return std::filesystem::path(dir) / name; }

// The shared test songs, and this folder's own.
struct Shared { const char* name; };
struct Own { const char* name; };

constexpr std::int32_t kRefused = -1;

struct BadSong {
    BadSong(const char* what, Shared song, std::int32_t ms) : name(what), file(song.name), own(false), lengthMs(ms) {}
    BadSong(const char* what, Own song, std::int32_t ms) : name(what), file(song.name), own(true), lengthMs(ms) {}
    [[nodiscard]] std::filesystem::path Path() const
    {
        return In(own ? ZEMBROT_RELIABILITY_SONGS_DIR : ZEMBROT_SONGS_DIR, file);
    }
    const char* name;
    const char* file;
    bool own;
    // kRefused: a false Open; else the length it must open with.
    std::int32_t lengthMs;
};

// cbr128.mp3 is 4 000 ms of 44.1 kHz stereo; 1 152 samples a frame.
const BadSong kBadSongs[] = {
    {"empty", Shared{"empty.mp3"}, kRefused},
    {"one_byte", Own{"one_byte.mp3"}, kRefused},
    // The first 50 000 bytes: the info frame and 118 whole frames. The info frame
    // promised more, so no gapless trimming applies: every sample of those frames.
    {"truncated_mid_frame", Own{"midframe.mp3"}, 118 * 1152 * 1000 / 44100},
    {"random_bytes", Shared{"random.mp3"}, kRefused},
    {"text", Shared{"text.mp3"}, kRefused},
    {"all_ff", Own{"all_ff.mp3"}, kRefused},
    {"junk_before_the_audio", Own{"junk_before.mp3"}, 4000},
    {"id3_claims_more_than_the_file", Own{"id3_overclaim.mp3"}, kRefused},
    // The format may not change mid-song: the song is its first stream.
    {"two_formats_concatenated", Own{"two_formats.mp3"}, 4000},
    // Past 2 GiB: the frames at the start play; the cut (32-bit) finds nothing to read.
    {"two_gib_sparse", Own{"huge.mp3"}, 4000},
};

class BadSongs : public testing::TestWithParam<BadSong> {};

TEST_P(BadSongs, OpensWithItsTrueLengthOrNotAtAll)
{
    const BadSong& song = GetParam();
    ASSERT_TRUE(std::filesystem::is_regular_file(song.Path())) << song.Path(); // a missing file proves nothing
    PlaybackDevice device;
    const bool opened = device.Open(song.Path());
    if (song.lengthMs == kRefused) {
        EXPECT_FALSE(opened);
        EXPECT_EQ(device.GetState(), PlaybackState::Unavailable);
        EXPECT_EQ(device.GetLength(), 0);
        return;
    }
    ASSERT_TRUE(opened);
    EXPECT_EQ(device.GetLength(), song.lengthMs);
    // It plays, and stops when asked.
    ASSERT_TRUE(device.Play(0));
    EXPECT_EQ(device.GetState(), PlaybackState::Playing);
    ASSERT_TRUE(device.Stop());
    EXPECT_EQ(device.GetPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, BadSongs, testing::ValuesIn(kBadSongs),
                         [](const testing::TestParamInfo<BadSong>& info) { return std::string(info.param.name); });

TEST(HugeSong, SaveFindsNothingToCut)
{
    // The save reads the whole song; a file past the 32-bit byte count is not one it can cut.
    EXPECT_TRUE(ReadWholeFile(In(ZEMBROT_RELIABILITY_SONGS_DIR, "huge.mp3")).empty());
}

} // namespace

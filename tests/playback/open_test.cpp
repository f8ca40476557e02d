// Opening songs, their lengths, refusing what is not a song, and telling
// whether a path names the open file. Runs with SDL's dummy driver.
#include "playback/playback_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

void ExpectNothingOpen(PlaybackDevice& device)
{
    EXPECT_EQ(device.GetState(), PlaybackState::Unavailable);
    EXPECT_EQ(device.GetLength(), 0);
    EXPECT_EQ(device.GetPosition(), -1);
}

TEST(Open, LengthIsTheDecodedSampleCount)
{
    const char* songs[] = {
        "cbr128.mp3",      "vbr.mp3",      "vbr_no_header.mp3", "mono22k.mp3",
        "rate48k.mp3",     "mono8k.mp3",   "big_id3.mp3",       "junk_end.mp3",
        "SONG.MP3",        "歌曲 测试.mp3", "example.mp3",
    };
    PlaybackDevice device;
    for (const char* name : songs) {
        SCOPED_TRACE(name);
        const DecodedSong reference = DecodeDirectly(SongPath(name));
        ASSERT_GT(reference.Frames(), 0);
        ASSERT_TRUE(device.Open(SongPath(name)));
        EXPECT_EQ(device.GetLength(), reference.LengthMs());
        EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
        EXPECT_EQ(device.GetPosition(), 0);
    }
}

TEST(Open, LengthIsTheSongsOwnWhateverSurroundsIt)
{
    PlaybackDevice device;
    const auto lengthOf = [&](const char* name) {
        EXPECT_TRUE(device.Open(SongPath(name))) << name;
        return device.GetLength();
    };
    // Encoder delay and padding come off: the sources are whole seconds.
    EXPECT_EQ(lengthOf("cbr128.mp3"), 4000);
    EXPECT_EQ(lengthOf("vbr.mp3"), 3000);
    EXPECT_EQ(lengthOf("mono22k.mp3"), 3000);
    EXPECT_EQ(lengthOf("mono8k.mp3"), 2000);
    // A big tag in front and junk behind change nothing.
    EXPECT_EQ(lengthOf("big_id3.mp3"), lengthOf("vbr.mp3"));
    EXPECT_EQ(lengthOf("junk_end.mp3"), lengthOf("cbr128.mp3"));
    // 10 000 frames of 1152 samples at 48 kHz.
    EXPECT_EQ(lengthOf("example.mp3"), 240000);
}

TEST(Open, RefusesWhatIsNotASong)
{
    ScratchDir scratch;
    const fs::path mpeg = SongPath("cbr128.mp3");
    // MPEG audio under a name that does not say so is refused too.
    for (const char* name : {"song.wav", "song.txt", "song", "song.mp3.bak", "song.mp4"}) {
        fs::copy_file(mpeg, scratch / name);
    }
    const fs::path bad[] = {
        SongPath("empty.mp3"),  SongPath("random.mp3"), SongPath("text.mp3"),
        SongPath("folder.mp3"), SongPath("song.wav"),   SongPath("missing.mp3"),
        scratch / "song.wav",   scratch / "song.txt",   scratch / "song",
        scratch / "song.mp3.bak", scratch / "song.mp4", fs::path(),
    };
    PlaybackDevice device;
    for (const fs::path& path : bad) {
        SCOPED_TRACE(path.string());
        ASSERT_TRUE(device.Open(SongPath("vbr.mp3")));
        // The failed Open still closed the song that was open.
        EXPECT_FALSE(device.Open(path));
        ExpectNothingOpen(device);
        EXPECT_FALSE(device.Close());
        EXPECT_FALSE(device.Play(0));
    }
}

TEST(Open, ExtensionDecidesWhateverItsCase)
{
    ScratchDir scratch;
    PlaybackDevice device;
    for (const char* name : {"a.mp3", "b.MP3", "c.Mp2", "d.mp1", "e.MP1", "f.tar.mp3", ".mp3"}) {
        SCOPED_TRACE(name);
        fs::copy_file(SongPath("cbr128.mp3"), scratch / name);
        EXPECT_TRUE(device.Open(scratch / name));
        EXPECT_EQ(device.GetLength(), 4000);
    }
}

TEST(Open, TruncatedSongOpensWithTheFrameThatIsWhole)
{
    // 1000 bytes: the info frame, one whole frame and part of the next. The
    // scan finds fewer frames than the info frame announces, and libmpg123
    // then trims no encoder delay: the one frame plays whole.
    PlaybackDevice device;
    ASSERT_TRUE(device.Open(SongPath("truncated.mp3")));
    EXPECT_EQ(device.GetLength(), 1152 * 1000 / 44100);
}

TEST(Open, CloseReportsWhetherASongWasOpen)
{
    PlaybackDevice device;
    ExpectNothingOpen(device);
    EXPECT_FALSE(device.Close());
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    EXPECT_TRUE(device.Close());
    ExpectNothingOpen(device);
    EXPECT_FALSE(device.Close());
    // Opening one song after another needs no Close in between.
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    ASSERT_TRUE(device.Open(SongPath("mono8k.mp3")));
    EXPECT_EQ(device.GetLength(), 2000);
}

TEST(HoldsFile, SameFileThroughAnyName)
{
    ScratchDir scratch;
    const fs::path song = scratch / "song.mp3";
    fs::copy_file(SongPath("cbr128.mp3"), song);
    fs::create_symlink(song, scratch / "symlink.mp3");
    fs::create_hard_link(song, scratch / "hardlink.mp3");
    fs::copy_file(song, scratch / "copy.mp3");
    fs::create_directory(scratch / "sub");

    PlaybackDevice device;
    EXPECT_FALSE(device.HoldsFile(song)) << "nothing is open yet";
    ASSERT_TRUE(device.Open(scratch / "symlink.mp3"));
    EXPECT_TRUE(device.HoldsFile(song));
    EXPECT_TRUE(device.HoldsFile(scratch / "symlink.mp3"));
    EXPECT_TRUE(device.HoldsFile(scratch / "hardlink.mp3"));
    EXPECT_TRUE(device.HoldsFile(scratch / "sub" / ".." / "song.mp3"));
    EXPECT_FALSE(device.HoldsFile(scratch / "copy.mp3"));
    EXPECT_FALSE(device.HoldsFile(scratch / "missing.mp3"));
    EXPECT_FALSE(device.HoldsFile(scratch.Path()));
    ASSERT_TRUE(device.Close());
    EXPECT_FALSE(device.HoldsFile(song));
}

} // namespace

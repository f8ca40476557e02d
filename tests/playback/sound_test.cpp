// The sound the device hands to SDL, recorded by SDL's disk driver
// (SDL_AUDIODRIVER=disk) and compared with a direct decode. The driver runs
// faster than real time (small SDL_AUDIO_DISK_DELAY / SDL_DISKAUDIODELAY), so
// only bytes count here.
#include "playback/playback_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using Samples = std::vector<std::int16_t>;

// The driver also writes silence while the device is paused, before Play and
// after the end. The test songs are noisy, so a frame of pure zeros is
// silence the device added and never part of a song.
Samples WithoutSilentFrames(const Samples& samples, int channels)
{
    Samples kept;
    for (std::size_t i = 0; i + channels <= samples.size(); i += channels) {
        const auto frame = samples.begin() + static_cast<std::ptrdiff_t>(i);
        if (std::any_of(frame, frame + channels, [](std::int16_t s) { return s != 0; })) {
            kept.insert(kept.end(), frame, frame + channels);
        }
    }
    return kept;
}

// Index of the first sample where a and b differ, -1 when they are equal.
std::ptrdiff_t FirstDifference(const Samples& a, const Samples& b)
{
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return ia == a.end() && ib == b.end() ? -1 : ia - a.begin();
}

// Longest run of silent frames after the first sound: where (in sound
// frames before it) and how long.
struct Gap {
    std::int64_t soundFramesBefore = 0;
    std::int64_t frames = 0;
};
Gap LongestGap(const Samples& samples, int channels)
{
    Gap longest, current;
    std::int64_t sound = 0;
    for (std::size_t i = 0; i + channels <= samples.size(); i += channels) {
        const auto frame = samples.begin() + static_cast<std::ptrdiff_t>(i);
        if (std::all_of(frame, frame + channels, [](std::int16_t s) { return s == 0; })) {
            if (sound > 0 && current.frames++ == 0) {
                current.soundFramesBefore = sound;
            }
        } else {
            ++sound;
            if (current.frames > longest.frames) {
                longest = current;
            }
            current = {};
        }
    }
    return longest; // a trailing run is silence after the end, not a gap
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        ASSERT_TRUE(driver != nullptr && std::string(driver) == "disk") << "run with SDL_AUDIODRIVER=disk";
        // The disk driver writes to the file named here when the device opens
        // (SDL before 2.28 reads SDL_DISKAUDIOFILE, later ones SDL_AUDIO_DISK_FILE).
        recording_ = scratch_ / "recording.raw";
        setenv("SDL_AUDIO_DISK_FILE", recording_.c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", recording_.c_str(), 1);
    }

    // What the device wrote; readable once it is closed.
    [[nodiscard]] Samples Recording() const
    {
        std::ifstream in(recording_, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        Samples samples(bytes.size() / 2);
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(samples.size() * 2),
                  reinterpret_cast<char*>(samples.data()));
        return samples;
    }

    [[nodiscard]] std::uintmax_t RecordedBytes() const
    {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(recording_, error);
        return error ? 0 : size;
    }

    static bool PlaysToTheEnd(PlaybackDevice& device)
    {
        return WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; });
    }

    ScratchDir scratch_;
    fs::path recording_;
};

std::int64_t LeadingSilentFrames(const Samples& samples, int channels)
{
    const auto sound = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
    return (sound - samples.begin()) / channels;
}

TEST_F(Sound, PlaysTheWholeSongAndStopsAtItsEnd)
{
    // libmpg123 decodes MPEG-2 and 2.5 (rates below 32 kHz) a few samples one
    // step apart depending on what it did before (a scan, a seek), so those
    // may differ from a fresh decode by 1 in very few places.
    const struct {
        const char* name;
        int tolerance;
    } cases[] = {{"cbr128.mp3", 0}, {"rate48k.mp3", 0}, {"mono22k.mp3", 1}, {"mono8k.mp3", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedSong song = DecodeDirectly(SongPath(c.name));
        {
            PlaybackDevice device;
            ASSERT_TRUE(device.Open(SongPath(c.name)));
            ASSERT_TRUE(device.Play(0));
            ASSERT_TRUE(PlaysToTheEnd(device));
            EXPECT_EQ(device.GetPosition(), device.GetLength());
            EXPECT_EQ(device.GetLength(), song.LengthMs());
        }
        // Silence while the device waited for Play, the song, silence after it.
        const Samples recording = Recording();
        const std::int64_t lead = LeadingSilentFrames(recording, song.channels)
            - LeadingSilentFrames(song.samples, song.channels);
        ASSERT_GE(lead, 0);
        const std::size_t start = static_cast<std::size_t>(lead * song.channels);
        ASSERT_GE(recording.size(), start + song.samples.size());
        int differing = 0;
        int worst = 0;
        for (std::size_t i = 0; i < song.samples.size(); ++i) {
            const int difference = std::abs(recording[start + i] - song.samples[i]);
            differing += difference != 0;
            worst = std::max(worst, difference);
        }
        EXPECT_LE(worst, c.tolerance);
        EXPECT_LE(differing, c.tolerance * static_cast<int>(song.samples.size() / 1000));
        EXPECT_TRUE(std::all_of(recording.begin() + static_cast<std::ptrdiff_t>(start + song.samples.size()),
                                recording.end(), [](std::int16_t s) { return s == 0; }))
            << "sound after the end of the song";
    }
}

TEST_F(Sound, PauseHoldsTheSongAndResumeContinuesWithTheNextSample)
{
    const DecodedSong song = DecodeDirectly(SongPath("cbr128.mp3"));
    std::int32_t pausedAt = 0;
    {
        PlaybackDevice device;
        ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
        ASSERT_TRUE(device.Play(0));
        ASSERT_TRUE(WaitUntil([&] { return device.GetPosition() >= 1000; }));
        ASSERT_TRUE(device.Pause()) << "the song ended before it could be paused";
        ASSERT_EQ(device.GetState(), PlaybackState::Paused);
        pausedAt = device.GetPosition();

        // While paused the driver goes on writing; none of it may be song.
        const std::uintmax_t before = RecordedBytes();
        ASSERT_TRUE(WaitUntil([&] { return RecordedBytes() > before + 64 * 1024; }));
        EXPECT_EQ(device.GetState(), PlaybackState::Paused);
        EXPECT_EQ(device.GetPosition(), pausedAt);

        ASSERT_TRUE(device.Play(-1));
        EXPECT_GE(device.GetPosition(), pausedAt);
        ASSERT_TRUE(PlaysToTheEnd(device));
    }
    const Samples recording = Recording();
    const Gap gap = LongestGap(recording, song.channels);
    // 64 KiB of 16-bit stereo is 16384 frames; no silence that long is in the song.
    EXPECT_GE(gap.frames, 16384 - 2048);
    // The gap sits where the position said the song was paused: the position
    // covers everything handed over.
    EXPECT_NEAR(gap.soundFramesBefore * 1000 / song.rate, pausedAt, 1);
    EXPECT_EQ(FirstDifference(WithoutSilentFrames(recording, song.channels),
                              WithoutSilentFrames(song.samples, song.channels)), -1)
        << "samples went missing or were repeated around the pause";
}

TEST_F(Sound, StopRewindsAndPlayFromSeeksToTheSample)
{
    const DecodedSong song = DecodeDirectly(SongPath("rate48k.mp3"));
    {
        PlaybackDevice device;
        ASSERT_TRUE(device.Open(SongPath("rate48k.mp3")));
        ASSERT_TRUE(device.Play(0));
        ASSERT_TRUE(WaitUntil([&] { return device.GetPosition() >= 500; }));
        ASSERT_TRUE(device.Stop());
        EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
        EXPECT_EQ(device.GetPosition(), 0);
        // Play from 1.5 s, then again from the start, each to the end.
        ASSERT_TRUE(device.Play(1500));
        EXPECT_GE(device.GetPosition(), 1500);
        ASSERT_TRUE(PlaysToTheEnd(device));
        ASSERT_TRUE(device.Play(0));
        ASSERT_TRUE(PlaysToTheEnd(device));
    }
    const int channels = song.channels;
    const Samples recorded = WithoutSilentFrames(Recording(), channels);
    const auto at = [&](std::int64_t frame) { return song.samples.begin() + frame * channels; };
    // Heard: a beginning of some length, frames 72000.. (1.5 s) to the end,
    // then the whole song.
    Samples tail(at(72000), song.samples.end());
    tail.insert(tail.end(), song.samples.begin(), song.samples.end());
    tail = WithoutSilentFrames(tail, channels);
    ASSERT_GT(recorded.size(), tail.size());
    const std::size_t head = recorded.size() - tail.size();
    EXPECT_GE(head, static_cast<std::size_t>(24000 * channels)) << "stopped before 500 ms";
    const Samples whole = WithoutSilentFrames(song.samples, channels);
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(head), whole.begin()));
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), recorded.begin() + static_cast<std::ptrdiff_t>(head)));
}

} // namespace

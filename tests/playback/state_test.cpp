// States and positions in real time, with SDL's dummy driver: silent, but
// paced like a sound card.
#include "playback/playback_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Loose enough for a loaded machine; the offsets themselves get printed.
constexpr std::int32_t kWallClockSlackMs = 250;

std::int32_t MsSince(Clock::time_point start)
{
    return static_cast<std::int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class States : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        ASSERT_TRUE(driver != nullptr && std::string(driver) == "dummy") << "run with SDL_AUDIODRIVER=dummy";
    }

    bool Reaches(std::int32_t ms)
    {
        return WaitUntil([&] { return device.GetPosition() >= ms; });
    }

    PlaybackDevice device;
};

TEST_F(States, NothingOpenRefusesEverything)
{
    EXPECT_EQ(device.GetState(), PlaybackState::Unavailable);
    EXPECT_EQ(device.GetPosition(), -1);
    EXPECT_EQ(device.GetLength(), 0);
    EXPECT_FALSE(device.Play(0));
    EXPECT_FALSE(device.Play(-1));
    EXPECT_FALSE(device.Pause());
    EXPECT_FALSE(device.Pause());
    EXPECT_FALSE(device.Stop());
    EXPECT_FALSE(device.Close());
    EXPECT_EQ(device.GetState(), PlaybackState::Unavailable);
}

TEST_F(States, PlayPauseResumeStopClose)
{
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
    EXPECT_EQ(device.GetPosition(), 0);

    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(device.Play(0));
    EXPECT_EQ(device.GetState(), PlaybackState::Playing);
    ASSERT_TRUE(Reaches(600));
    const std::int32_t offset = device.GetPosition() - MsSince(started);
    std::printf("position - wall clock after Play(0): %+d ms\n", offset);
    EXPECT_LE(std::abs(offset), kWallClockSlackMs);

    ASSERT_TRUE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Paused);
    const std::int32_t pausedAt = device.GetPosition();
    std::this_thread::sleep_for(150ms); // time has to pass for the position to stay put
    EXPECT_EQ(device.GetPosition(), pausedAt);
    EXPECT_EQ(device.GetState(), PlaybackState::Paused);

    ASSERT_TRUE(device.Play(-1));
    EXPECT_EQ(device.GetState(), PlaybackState::Playing);
    EXPECT_GE(device.GetPosition(), pausedAt);
    ASSERT_TRUE(Reaches(pausedAt + 200));
    EXPECT_LT(device.GetPosition(), pausedAt + 200 + kWallClockSlackMs) << "resume did not continue from the pause";

    ASSERT_TRUE(device.Pause());
    ASSERT_TRUE(device.Stop());
    EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
    EXPECT_EQ(device.GetPosition(), 0);
    EXPECT_TRUE(device.Stop()) << "stopping a stopped song is fine";

    // On from the rewound position.
    ASSERT_TRUE(device.Play(-1));
    EXPECT_EQ(device.GetState(), PlaybackState::Playing);
    EXPECT_LT(device.GetPosition(), kWallClockSlackMs);

    ASSERT_TRUE(device.Close());
    EXPECT_EQ(device.GetState(), PlaybackState::Unavailable);
    EXPECT_EQ(device.GetPosition(), -1);
    EXPECT_EQ(device.GetLength(), 0);
    EXPECT_FALSE(device.Close());
    EXPECT_FALSE(device.Stop());
}

TEST_F(States, PlayFromAPositionAndToTheEnd)
{
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    const std::int32_t length = device.GetLength();
    ASSERT_TRUE(device.Play(length - 400));
    EXPECT_GE(device.GetPosition(), length - 400);
    ASSERT_TRUE(WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; }, 5s));
    EXPECT_EQ(device.GetPosition(), length);

    // On from the end ends at once; a position past the end is the end.
    ASSERT_TRUE(device.Play(-1));
    ASSERT_TRUE(WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; }, 2s));
    EXPECT_EQ(device.GetPosition(), length);
    ASSERT_TRUE(device.Play(length + 60000));
    ASSERT_TRUE(WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; }, 2s));
    EXPECT_EQ(device.GetPosition(), length);
    EXPECT_FALSE(device.Play(-2));

    // Seeking while playing moves the position there.
    ASSERT_TRUE(device.Play(1000));
    ASSERT_TRUE(device.Play(2500));
    EXPECT_GE(device.GetPosition(), 2500);
    EXPECT_LT(device.GetPosition(), 2500 + kWallClockSlackMs);

    // Pausing an ended song is refused; Stop rewinds it.
    ASSERT_TRUE(WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; }, 5s));
    EXPECT_FALSE(device.Pause());
    EXPECT_FALSE(device.Pause());
    ASSERT_TRUE(device.Stop());
    EXPECT_EQ(device.GetPosition(), 0);
}

TEST_F(States, ShortTruncatedSongEndsToo)
{
    ASSERT_TRUE(device.Open(SongPath("truncated.mp3")));
    ASSERT_TRUE(device.Play(0));
    ASSERT_TRUE(WaitUntil([&] { return device.GetState() == PlaybackState::Stopped; }, 2s));
    EXPECT_EQ(device.GetPosition(), device.GetLength());
}

TEST_F(States, PauseTogglesOnEveryCall)
{
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    // Refused while stopped, but the toggle flips: the next call resumes,
    // which is refused too as nothing is paused.
    EXPECT_FALSE(device.Pause());
    EXPECT_FALSE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Stopped);

    ASSERT_TRUE(device.Play(0));
    EXPECT_TRUE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Paused);
    EXPECT_TRUE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Playing);

    // Play clears the toggle, so the Pause after it pauses again.
    EXPECT_TRUE(device.Pause());
    ASSERT_TRUE(device.Play(-1));
    EXPECT_TRUE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Paused);

    // Stop leaves the toggle set: the next Pause is a refused resume.
    ASSERT_TRUE(device.Stop());
    EXPECT_FALSE(device.Pause());
    EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
}

TEST_F(States, OpenWhilePlayingStartsTheNewSongStopped)
{
    ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
    ASSERT_TRUE(device.Play(0));
    ASSERT_TRUE(Reaches(100));
    ASSERT_TRUE(device.Open(SongPath("mono8k.mp3")));
    EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
    EXPECT_EQ(device.GetPosition(), 0);
    EXPECT_EQ(device.GetLength(), 2000);
}

// Prints how far the position runs from the wall clock, per stream format.
TEST_F(States, PositionFollowsTheWallClock)
{
    for (const char* name : {"cbr128.mp3", "rate48k.mp3", "mono22k.mp3", "mono8k.mp3"}) {
        ASSERT_TRUE(device.Open(SongPath(name)));
        const Clock::time_point started = Clock::now();
        ASSERT_TRUE(device.Play(0));
        std::int32_t worst = 0;
        std::int32_t sum = 0;
        int samples = 0;
        while (MsSince(started) < 1500) {
            std::this_thread::sleep_for(37ms); // odd period: samples land anywhere within a buffer
            const std::int32_t offset = device.GetPosition() - MsSince(started);
            worst = std::max(worst, std::abs(offset));
            sum += offset;
            ++samples;
        }
        std::printf("%-12s position - wall clock: mean %+d ms, worst %d ms over %d reads\n", name,
                    sum / std::max(samples, 1), worst, samples);
        EXPECT_LE(worst, kWallClockSlackMs) << name;
    }
}

} // namespace

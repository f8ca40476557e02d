// Without a usable sound device a song still opens and plays, silently and in
// real time. Each case breaks SDL's output in its own way before the device
// starts SDL's audio.
#include "playback/playback_device.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "test_support.h"

namespace {

TEST(NoSoundDevice, SongPlaysSilently)
{
    ScratchDir scratch;
    const struct {
        const char* what;
        const char* driver;
    } cases[] = {
        {"audio init fails", "no-such-driver"},
        // The disk driver cannot create its file inside a missing folder.
        {"default device does not open", "disk"},
    };
    const std::string unwritable = (scratch / "missing" / "out.raw").string();
    setenv("SDL_AUDIO_DISK_FILE", unwritable.c_str(), 1);
    setenv("SDL_DISKAUDIOFILE", unwritable.c_str(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        PlaybackDevice device;
        ASSERT_TRUE(device.Open(SongPath("cbr128.mp3")));
        EXPECT_EQ(device.GetState(), PlaybackState::Stopped);
        ASSERT_TRUE(device.Play(0));
        EXPECT_TRUE(WaitUntil([&] { return device.GetPosition() >= 200; }, std::chrono::seconds(3)));
        EXPECT_EQ(device.GetState(), PlaybackState::Playing);
        ASSERT_TRUE(device.Pause());
        ASSERT_TRUE(device.Close());
    }
}

} // namespace

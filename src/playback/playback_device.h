#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

// State codes as the window's handlers see them.
enum class PlaybackState : std::int32_t {
    Unavailable = 0, // nothing open, or the state cannot be read
    Playing = 1,
    Stopped = 2,     // open and neither playing nor paused: after Open, Stop, or the song's end
    Paused = 3,
};

// The media-play component: one open song at a time, decoded by libmpg123 and
// heard through SDL2's audio on the default output device.
//
// Lifecycle:
//  1. Construct: nothing open, state Unavailable.
//  2. Open(path): closes what is open, then opens the song; Stopped at 0.
//  3. Play / Pause / Stop drive it; the sound comes from SDL's audio callback.
//  4. Close() or destruction silences it and closes the song.
//
// Every operation is called on one thread (the window's). Queries never wait
// for decoding: the audio callback publishes state and position atomically.
class PlaybackDevice {
public:
    PlaybackDevice();
    ~PlaybackDevice();
    PlaybackDevice(const PlaybackDevice&) = delete;
    PlaybackDevice& operator=(const PlaybackDevice&) = delete;

    // True when the song is open. The extension (case-insensitive) picks the
    // decoder: .mp3, .mp2, .mp1; anything else fails.
    bool Open(const std::filesystem::path& path);
    // True when an open song was closed.
    bool Close();
    [[nodiscard]] PlaybackState GetState();
    // Exact length in milliseconds (truncated); 0 when nothing is open.
    [[nodiscard]] std::int32_t GetLength() const;
    // Position of what the listener hears, in milliseconds; -1 when nothing is open.
    [[nodiscard]] std::int32_t GetPosition() const;
    // Plays from fromMs, or on from the current position with -1. Clears the pause toggle.
    bool Play(std::int32_t fromMs);
    // Pauses when the toggle is clear, resumes when set; the toggle flips on every call.
    bool Pause();
    // Stops and rewinds to 0.
    bool Stop();

    // True when path names the very file that is open (same device and inode,
    // through links too). Saving over it would destroy the song being played.
    [[nodiscard]] bool HoldsFile(const std::filesystem::path& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

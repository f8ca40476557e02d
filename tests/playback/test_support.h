#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The songs that make_songs.sh wrote; the directory comes from ZEMBROT_SONGS_DIR.
[[nodiscard]] std::filesystem::path SongPath(const std::string& name); // name in UTF-8

// A song decoded straight through libmpg123, without the device: the
// reference for lengths and for the sound the device hands to SDL.
struct DecodedSong {
    long rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples; // interleaved

    [[nodiscard]] std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
    [[nodiscard]] std::int32_t LengthMs() const { return static_cast<std::int32_t>(Frames() * 1000 / rate); }
};
[[nodiscard]] DecodedSong DecodeDirectly(const std::filesystem::path& path);

// Polls condition until it holds or the deadline passes; its last answer.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

// A fresh directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

#include "test_support.h"

#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>
#include <thread>

#include <mpg123.h>

std::filesystem::path SongPath(const std::string& name)
{
    const char* dir = std::getenv("ZEMBROT_SONGS_DIR");
    if (dir == nullptr || *dir == '\0') {
        throw std::runtime_error("ZEMBROT_SONGS_DIR is not set; run the tests through ctest");
    }
    const std::u8string utf8(reinterpret_cast<const char8_t*>(name.data()), name.size());
    return std::filesystem::path(dir) / std::filesystem::path(utf8);
}

DecodedSong DecodeDirectly(const std::filesystem::path& path)
{
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)> handle(mpg123_new(nullptr, &error), &mpg123_delete);
    mpg123_handle* h = handle.get();
    DecodedSong song;
    int encoding = 0;
    if (h == nullptr || mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0) != MPG123_OK
        || mpg123_open(h, path.c_str()) != MPG123_OK
        || mpg123_getformat(h, &song.rate, &song.channels, &encoding) != MPG123_OK) {
        throw std::runtime_error("cannot decode " + path.string());
    }
    mpg123_format_none(h);
    mpg123_format(h, song.rate, song.channels, MPG123_ENC_SIGNED_16);
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t got = 0;
        const int result = mpg123_read(h, buffer.data(), buffer.size(), &got);
        const auto* first = reinterpret_cast<const std::int16_t*>(buffer.data());
        song.samples.insert(song.samples.end(), first, first + got / 2);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            break; // done, or damage it cannot get past
        }
    }
    return song;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

ScratchDir::ScratchDir()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("zembrot-test-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

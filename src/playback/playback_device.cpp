#include "playback/playback_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

#include "playback/mpeg_decoder.h"
#include "playback/sdl_audio.h"
#include "playback/song_file.h"

namespace {

using Clock = std::chrono::steady_clock;

bool HasMpegExtension(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
    return extension == "mp3" || extension == "mp2" || extension == "mp1";
}

// About 20 to 40 ms of sound per callback, a power of two: SDL rebuffers other
// sizes, and its timed drivers then call back at the wrong pace.
Uint16 BufferFrames(long rate)
{
    Uint16 frames = 256;
    while (frames < 4096 && frames < rate / 50) {
        frames *= 2;
    }
    return frames;
}

// Where the sound handed to SDL last time came from: the song frame it
// started at, how many song frames it held, and when it was handed over.
struct Handover {
    std::int64_t startFrame = 0;
    std::int64_t frames = 0;
    Clock::time_point at{};
};

// One open song. The audio callback owns the decoder while the device runs;
// the window thread touches it only under SDL_LockAudioDevice.
struct Song {
    Song(FileDescriptor f, FileIdentity id, MpegDecoder d)
        : file(std::move(f)), identity(id), decoder(std::move(d)),
          lengthMs(static_cast<std::int32_t>(decoder.LengthFrames() * 1000 / decoder.Rate()))
    {
    }

    // The song frame the listener hears now, while playing.
    [[nodiscard]] std::int64_t HeardFrame() const
    {
        Handover last;
        {
            std::lock_guard lock(handoverMutex);
            last = handover;
        }
        // Capped before scaling so that a long wait cannot overflow.
        const auto elapsed = std::min<Clock::duration>(Clock::now() - last.at, std::chrono::seconds(10));
        const std::int64_t played = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()
            * decoder.Rate() / 1'000'000'000;
        return last.startFrame + std::clamp<std::int64_t>(played, 0, last.frames);
    }

    void Publish(std::int64_t startFrame, std::int64_t frames)
    {
        const Clock::time_point now = Clock::now();
        std::lock_guard lock(handoverMutex);
        handover = {startFrame, frames, now};
    }

    [[nodiscard]] std::int32_t FrameToMs(std::int64_t frame) const
    {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(frame * 1000 / decoder.Rate(), 0, lengthMs));
    }

    // Seeks; false when the decoder refuses. Call with the device locked.
    bool SeekTo(std::int64_t frame)
    {
        const std::int64_t reached = decoder.Seek(std::clamp<std::int64_t>(frame, 0, decoder.LengthFrames()));
        if (reached < 0) {
            return false;
        }
        nextFrame = reached;
        decoderDone = false;
        ended.store(false);
        return true;
    }

    static void SDLCALL Feed(void* self, Uint8* out, int len) noexcept
    {
        static_cast<Song*>(self)->Fill(out, static_cast<std::size_t>(len));
    }

    void Fill(Uint8* out, std::size_t len)
    {
        const std::int64_t startFrame = nextFrame;
        std::size_t filled = 0;
        if (!decoderDone) {
            filled = decoder.Read(out, len, decoderDone);
        }
        std::memset(out + filled, 0, len - filled); // signed 16-bit silence
        const auto frames = static_cast<std::int64_t>(filled / decoder.FrameBytes());
        nextFrame += frames;
        Publish(startFrame, frames);
        // The buffer before this one held the last samples and has been heard.
        if (frames == 0 && decoderDone) {
            ended.store(true);
        }
    }

    FileDescriptor file;
    FileIdentity identity;
    MpegDecoder decoder;
    const std::int32_t lengthMs;

    // Callback side, or the window thread with the device locked.
    std::int64_t nextFrame = 0; // song frame the next buffer starts at
    bool decoderDone = false;

    mutable std::mutex handoverMutex; // held only to copy a Handover
    Handover handover;
    std::atomic<bool> ended{false};

    // Last, so it closes first: the callback stops before the rest goes.
    AudioDevice device;
};

} // namespace

struct PlaybackDevice::Impl {
    // Starts or resumes the device from where the decoder stands, or from
    // seekFrame. The seek and the new position go out together, so a callback
    // in between cannot publish a position from before the seek.
    bool Start(std::optional<std::int64_t> seekFrame = std::nullopt)
    {
        {
            DeviceLock lock(song->device);
            if (seekFrame && !song->SeekTo(*seekFrame)) {
                return false;
            }
            song->ended.store(false);
            song->Publish(song->nextFrame, 0);
        }
        SDL_PauseAudioDevice(song->device.Id(), 0);
        state = PlaybackState::Playing;
        return true;
    }

    // Silences the device and freezes the position after what it was given.
    void Halt(PlaybackState newState)
    {
        SDL_PauseAudioDevice(song->device.Id(), 1);
        DeviceLock lock(song->device);
        frozenFrame = song->nextFrame;
        state = newState;
    }

    AudioSystem audio;
    std::unique_ptr<Song> song; // after audio: closed before SDL's audio quits
    PlaybackState state = PlaybackState::Unavailable;
    std::int64_t frozenFrame = 0; // position while paused or stopped
    bool pauseToggle = false;
};

PlaybackDevice::PlaybackDevice() : impl_(std::make_unique<Impl>()) {}

PlaybackDevice::~PlaybackDevice() = default;

bool PlaybackDevice::Open(const std::filesystem::path& path)
{
    Close();
    if (!HasMpegExtension(path)) {
        return false;
    }
    FileDescriptor file = OpenForReading(path);
    const std::optional<FileIdentity> identity = RegularFileIdentity(file);
    if (!identity) {
        return false;
    }
    std::optional<MpegDecoder> decoder = MpegDecoder::Open(file.Get());
    if (!decoder) {
        return false;
    }
    const std::int64_t lengthMs = decoder->LengthFrames() * 1000 / decoder->Rate();
    if (lengthMs <= 0 || lengthMs > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    auto song = std::make_unique<Song>(std::move(file), *identity, std::move(*decoder));

    SDL_AudioSpec want{};
    want.freq = static_cast<int>(song->decoder.Rate());
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(song->decoder.Channels());
    want.samples = BufferFrames(song->decoder.Rate());
    want.callback = &Song::Feed;
    want.userdata = song.get();
    // Opens paused: nothing sounds until Play.
    song->device = impl_->audio.OpenOutput(want);
    if (!song->device.IsOpen()) {
        return false;
    }
    impl_->song = std::move(song);
    impl_->state = PlaybackState::Stopped;
    impl_->frozenFrame = 0;
    return true;
}

bool PlaybackDevice::Close()
{
    if (!impl_->song) {
        return false;
    }
    impl_->song.reset();
    impl_->state = PlaybackState::Unavailable;
    impl_->frozenFrame = 0;
    return true;
}

PlaybackState PlaybackDevice::GetState()
{
    Impl& d = *impl_;
    if (d.state == PlaybackState::Playing && d.song->ended.load()) {
        // The callback only fills silence now; pausing the device stops it running.
        d.Halt(PlaybackState::Stopped);
        d.frozenFrame = d.song->decoder.LengthFrames();
    }
    return d.state;
}

std::int32_t PlaybackDevice::GetLength() const
{
    return impl_->song ? impl_->song->lengthMs : 0;
}

std::int32_t PlaybackDevice::GetPosition() const
{
    const Impl& d = *impl_;
    if (!d.song) {
        return -1;
    }
    if (d.state != PlaybackState::Playing) {
        return d.song->FrameToMs(d.frozenFrame);
    }
    if (d.song->ended.load()) {
        return d.song->lengthMs;
    }
    return d.song->FrameToMs(d.song->HeardFrame());
}

bool PlaybackDevice::Play(std::int32_t fromMs)
{
    Impl& d = *impl_;
    d.pauseToggle = false;
    if (!d.song || fromMs < -1) {
        return false;
    }
    const PlaybackState state = GetState();
    if (fromMs == -1) {
        if (state != PlaybackState::Playing) {
            d.Start();
        }
        return true;
    }
    // Rounded up so that the position read back is fromMs itself.
    return d.Start((static_cast<std::int64_t>(fromMs) * d.song->decoder.Rate() + 999) / 1000);
}

bool PlaybackDevice::Pause()
{
    Impl& d = *impl_;
    const bool resume = std::exchange(d.pauseToggle, !d.pauseToggle);
    if (!d.song) {
        return false;
    }
    const PlaybackState state = GetState();
    if (resume) {
        if (state != PlaybackState::Paused) {
            return false;
        }
        d.Start();
        return true;
    }
    if (state != PlaybackState::Playing) {
        return false;
    }
    d.Halt(PlaybackState::Paused);
    return true;
}

bool PlaybackDevice::Stop()
{
    Impl& d = *impl_;
    if (!d.song) {
        return false;
    }
    d.Halt(PlaybackState::Stopped);
    DeviceLock lock(d.song->device);
    d.song->SeekTo(0);
    d.frozenFrame = 0;
    return true;
}

bool PlaybackDevice::HoldsFile(const std::filesystem::path& path) const
{
    if (!impl_->song) {
        return false;
    }
    const std::optional<FileIdentity> identity = IdentityOf(path);
    return identity && *identity == impl_->song->identity;
}

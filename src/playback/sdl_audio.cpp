#include "playback/sdl_audio.h"

#include <cstring>

namespace {

constexpr const char* kSilentDriver = "dummy";

} // namespace

AudioDevice::~AudioDevice()
{
    if (id_ != 0) {
        SDL_CloseAudioDevice(id_);
    }
}

AudioDevice& AudioDevice::operator=(AudioDevice&& other) noexcept
{
    if (this != &other) {
        AudioDevice old(std::exchange(id_, std::exchange(other.id_, 0)));
    }
    return *this;
}

AudioSystem::AudioSystem()
{
    // Audio init also starts SDL's events, whose signal handlers would
    // swallow SIGINT and SIGTERM meant for the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        mode_ = Mode::Subsystem;
    }
}

AudioSystem::~AudioSystem()
{
    Release();
}

AudioSystem& AudioSystem::operator=(AudioSystem&& other) noexcept
{
    if (this != &other) {
        Release();
        mode_ = std::exchange(other.mode_, Mode::None);
    }
    return *this;
}

void AudioSystem::Release()
{
    switch (std::exchange(mode_, Mode::None)) {
    case Mode::Subsystem:
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        break;
    case Mode::Direct:
        SDL_AudioQuit();
        break;
    case Mode::None:
        break;
    }
}

const char* AudioSystem::DriverName() const
{
    const char* name = mode_ == Mode::None ? nullptr : SDL_GetCurrentAudioDriver();
    return name != nullptr ? name : "";
}

bool AudioSystem::UseSilentDriver()
{
    if (mode_ != Mode::None) {
        SDL_AudioQuit();
    }
    if (SDL_AudioInit(kSilentDriver) != 0) {
        return false;
    }
    // With the subsystem counted, SDL_QuitSubSystem later stops this driver too.
    if (mode_ == Mode::None) {
        mode_ = Mode::Direct;
    }
    return true;
}

AudioDevice AudioSystem::OpenOutput(const SDL_AudioSpec& want)
{
    SDL_AudioSpec have{};
    // No sound hardware shows up as a failed audio init or a default device
    // that will not open: then the song plays silently on the dummy driver.
    if (mode_ == Mode::None && !UseSilentDriver()) {
        return {};
    }
    AudioDevice device(SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0));
    if (!device.IsOpen() && std::strcmp(DriverName(), kSilentDriver) != 0 && UseSilentDriver()) {
        device = AudioDevice(SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0));
    }
    return device;
}

#pragma once

#include <utility>

#include <SDL.h>

// An open SDL audio device; closed once, by its owner.
class AudioDevice {
public:
    AudioDevice() = default;
    explicit AudioDevice(SDL_AudioDeviceID id) : id_(id) {}
    ~AudioDevice();
    AudioDevice(AudioDevice&& other) noexcept : id_(std::exchange(other.id_, 0)) {}
    AudioDevice& operator=(AudioDevice&& other) noexcept;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    [[nodiscard]] SDL_AudioDeviceID Id() const { return id_; }
    [[nodiscard]] bool IsOpen() const { return id_ != 0; }

private:
    SDL_AudioDeviceID id_ = 0;
};

// Keeps the audio callback out while the window thread touches what it uses.
class DeviceLock {
public:
    explicit DeviceLock(const AudioDevice& device) : id_(device.Id()) { SDL_LockAudioDevice(id_); }
    ~DeviceLock() { SDL_UnlockAudioDevice(id_); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID id_;
};

// SDL's audio, initialised for as long as this object lives.
class AudioSystem {
public:
    AudioSystem();
    ~AudioSystem();
    AudioSystem(AudioSystem&& other) noexcept : mode_(std::exchange(other.mode_, Mode::None)) {}
    AudioSystem& operator=(AudioSystem&& other) noexcept;
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // Opens the default output device, converting from the wanted format
    // whatever the hardware takes. Falls back to silent real-time output
    // when there is no sound device. Closed on failure.
    [[nodiscard]] AudioDevice OpenOutput(const SDL_AudioSpec& want);
    // The driver in use, e.g. "pulseaudio", "dummy"; empty when none.
    [[nodiscard]] const char* DriverName() const;

private:
    enum class Mode {
        None,      // nothing initialised
        Subsystem, // SDL_InitSubSystem succeeded; SDL_QuitSubSystem undoes it
        Direct,    // only the audio part, started with SDL_AudioInit
    };
    bool UseSilentDriver();
    void Release();

    Mode mode_ = Mode::None;
};

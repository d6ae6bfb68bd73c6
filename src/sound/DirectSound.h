// The click player: one short PCM sound from a "WAVE" resource, copied into
// a static buffer on the shared sound device, ready to be started, restarted
// and stopped. Every failure is silent: operations return 0 and leave the
// player as far as it got.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/SoundDevice.h"

class CDirectSound {
public:
    CDirectSound();
    // Releases the buffer; the last player to go also releases the device.
    virtual ~CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // `window` points to the native handle of the window the device serves;
    // it is read only while the device is being opened. 1 on success, 0 on
    // failure.
    int LoadFromResource(std::uint16_t id, void* const* window);
    // `name` is a resource name: a string, or an integer id in the form
    // Windows gives it (a value below 0x10000 cast to a pointer).
    int LoadWaveResource(const char* name, void* const* window);
    // `image` must stay valid as long as the player: the player keeps a
    // pointer to its samples to refill a lost buffer.
    int InitFromMemory(const unsigned char* image, std::size_t size, void* const* window);

    bool IsReady() const;
    // 0 when not ready; otherwise the status of the start request (0 = started).
    SoundStatus PlayAt(std::uint32_t position, int loop);
    // Plays once from where the buffer's cursor stands.
    SoundStatus PlayFromCursor();
    // 0 when not ready; otherwise the status of the stop request.
    SoundStatus StopSound();

    // The class-wide state.
    static int PlayerCount();
    static bool HasDevice();
    // Replaces the sound system that devices are opened on (tests) and
    // returns the one in use before.
    static SoundSystem* UseSoundSystem(SoundSystem* system);

private:
    bool SetupDevice(void* const* window);
    bool ParseWave(const unsigned char* image, std::size_t size, WaveFormatRecord* format);
    bool CreateBuffer(const WaveFormatRecord& format);
    bool FillBuffer(const unsigned char* sampleData, std::uint32_t sampleLength);

    const unsigned char* sampleData_ = nullptr;  // inside the image, not owned
    std::uint32_t sampleLength_ = 0;
    SoundBuffer* buffer_ = nullptr;
    std::int32_t enabled_ = 1;  // nothing changes it; playback is refused at 0

    static SoundDevice* device_;
    static std::int32_t playerCount_;
    static SoundSystem* system_;
};

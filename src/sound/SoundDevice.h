// What the click player needs of the sound platform: a device, static
// buffers on it, and a way to wait between attempts to open the device.
//
// Implemented by SoundDevice_win32.cpp (DirectSound) and SoundDevice_x11.cpp
// (OpenAL Soft); the tests script their own.
#pragma once

#include <cstddef>
#include <cstdint>

// Statuses carry DirectSound's values, so the Windows layer passes them
// through unchanged and a caller of the player sees the same numbers on
// every platform. Negative means failure.
using SoundStatus = std::int32_t;

inline constexpr SoundStatus kSoundOk = 0;
inline constexpr SoundStatus kSoundFailed = static_cast<SoundStatus>(0x80004005u);
// The device is held by someone else.
inline constexpr SoundStatus kSoundBusy = static_cast<SoundStatus>(0x8878000Au);
// There is no sound driver.
inline constexpr SoundStatus kSoundNoDriver = static_cast<SoundStatus>(0x88780078u);
// The buffer's memory was taken away; Restore brings it back, empty.
inline constexpr SoundStatus kSoundBufferLost = static_cast<SoundStatus>(0x88780096u);

inline bool SoundSucceeded(SoundStatus status) { return status >= 0; }

// A wave format record (the body of a "fmt " chunk) where it lies in the
// sound image: its size as the chunk gives it, and the number of bytes that
// may be read from its start (to the image's end, never less than the size).
struct WaveFormatRecord {
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    std::size_t readable = 0;
};

// One static buffer holding a whole sound. Released, never deleted.
class SoundBuffer {
public:
    // The whole buffer as one region.
    virtual SoundStatus LockWhole(void** region, std::uint32_t* length) = 0;
    virtual SoundStatus Unlock(void* region, std::uint32_t length) = 0;
    virtual SoundStatus Restore() = 0;
    // Positions are byte offsets into the buffer.
    virtual SoundStatus SetPlayPosition(std::uint32_t position) = 0;
    virtual SoundStatus GetPlayPosition(std::uint32_t* position) = 0;
    // Starts from the current position; a buffer already playing carries on
    // with the new looping choice.
    virtual SoundStatus Play(bool looping) = 0;
    // Stops and keeps the position.
    virtual SoundStatus Stop() = 0;
    virtual void Release() = 0;

protected:
    virtual ~SoundBuffer() = default;
};

class SoundDevice {
public:
    // Normal cooperative level for the given native window handle.
    virtual SoundStatus SetCooperativeLevel(void* window) = 0;
    virtual SoundStatus CreateStaticBuffer(const WaveFormatRecord& format, std::uint32_t length,
                                           SoundBuffer** buffer) = 0;
    virtual void Release() = 0;

protected:
    virtual ~SoundDevice() = default;
};

class SoundSystem {
public:
    // Opens the default device; kSoundBusy and kSoundNoDriver are the
    // failures worth another attempt.
    virtual SoundStatus CreateDefaultDevice(SoundDevice** device) = 0;
    virtual void Wait(std::uint32_t milliseconds) = 0;

protected:
    virtual ~SoundSystem() = default;
};

// The platform's own sound system, which lives as long as the process.
SoundSystem* NativeSoundSystem();

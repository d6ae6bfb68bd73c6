// A scripted sound system for the player's tests: each operation answers
// from its own list of statuses (success once the list is used up), and
// every call is written down in order. Waits are recorded, never slept.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sound/SoundDevice.h"

class FakeSoundSystem : public SoundSystem {
public:
    struct Answers {
        std::deque<SoundStatus> createDevice;
        std::deque<SoundStatus> createBuffer;
        std::deque<SoundStatus> lock;
        std::deque<SoundStatus> unlock;
        std::deque<SoundStatus> getPosition;
        std::deque<SoundStatus> play;
        std::deque<SoundStatus> stop;
    };

    FakeSoundSystem() = default;
    ~FakeSoundSystem() override = default;

    SoundStatus CreateDefaultDevice(SoundDevice** device) override;
    void Wait(std::uint32_t milliseconds) override;

    // How many times a call starting with `prefix` was made.
    int Count(const std::string& prefix) const;

    Answers answers;
    // Bytes the locked region has beyond the buffer's requested length.
    std::uint32_t extraRegionBytes = 0;

    std::vector<std::string> calls;
    std::uint32_t waitedMs = 0;
    int liveDevices = 0;
    int liveBuffers = 0;
    // What the last buffer was created from, and what it holds.
    WaveFormatRecord format;
    std::vector<unsigned char> contents;
    std::uint32_t position = 0;
    void* window = nullptr;  // as the cooperative level was last set

    static SoundStatus Next(std::deque<SoundStatus>& answers);
};

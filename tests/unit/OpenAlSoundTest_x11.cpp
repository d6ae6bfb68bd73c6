// The OpenAL sound system with OpenAL Soft's silent null backend: buffers
// from wave format records, positions, playing, stopping, and the player on
// top of it. Needs no sound server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "WaveImages.h"
#include "platform/Resources.h"
#include "resources/ResourceIds.h"
#include "sound/DirectSound.h"
#include "sound/SoundDevice.h"

namespace {

class OpenAlSound : public ::testing::Test {
protected:
    void SetUp() override {
        // Read when OpenAL Soft first opens a device, which nothing else in
        // this program does.
        setenv("ALSOFT_DRIVERS", "null", 1);
        ASSERT_EQ(NativeSoundSystem()->CreateDefaultDevice(&device), kSoundOk);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        if (buffer != nullptr) buffer->Release();
        if (device != nullptr) device->Release();
    }

    SoundBuffer* Create(const wave::Bytes& format, std::uint32_t length) {
        SoundBuffer* created = nullptr;
        const WaveFormatRecord record{format.data(), static_cast<std::uint32_t>(format.size()),
                                      format.size()};
        status = device->CreateStaticBuffer(record, length, &created);
        return created;
    }
    std::uint32_t Position() {
        std::uint32_t position = 0xFFFFFFFFu;
        EXPECT_EQ(buffer->GetPlayPosition(&position), kSoundOk);
        return position;
    }
    // Polls until the position differs from `from`, for at most two seconds.
    bool MovesAwayFrom(std::uint32_t from) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Position() != from) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    SoundDevice* device = nullptr;
    SoundBuffer* buffer = nullptr;
    SoundStatus status = kSoundOk;
};

TEST_F(OpenAlSound, StaticBufferTakesTheSamplesAndKeepsItsPosition) {
    EXPECT_EQ(device->SetCooperativeLevel(nullptr), kSoundOk);
    buffer = Create(wave::PcmFormat(1, 44100, 16), 88200);
    ASSERT_EQ(status, kSoundOk);
    ASSERT_NE(buffer, nullptr);
    void* region = nullptr;
    std::uint32_t length = 0;
    ASSERT_EQ(buffer->LockWhole(&region, &length), kSoundOk);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(length, 88200u);
    std::memset(region, 0x11, length);
    EXPECT_EQ(buffer->Unlock(region, length), kSoundOk);
    EXPECT_EQ(buffer->Restore(), kSoundOk);

    EXPECT_EQ(Position(), 0u);
    EXPECT_EQ(buffer->SetPlayPosition(1000), kSoundOk);
    EXPECT_EQ(Position(), 1000u) << "before playing, as it was set";

    // Looping from 1000; a stop keeps the position, a play carries on.
    ASSERT_EQ(buffer->Play(true), kSoundOk);
    ASSERT_TRUE(MovesAwayFrom(1000));
    EXPECT_EQ(buffer->Stop(), kSoundOk);
    const std::uint32_t stopped = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Position(), stopped);
    EXPECT_EQ(buffer->SetPlayPosition(500), kSoundOk);
    EXPECT_EQ(Position(), 500u);
    ASSERT_EQ(buffer->Play(false), kSoundOk);
    EXPECT_TRUE(MovesAwayFrom(500));
}

TEST_F(OpenAlSound, UnsupportedFormatsMakeNoBuffer) {
    wave::Bytes floatFormat = wave::PcmFormat(1, 44100, 32);
    floatFormat[0] = 3;
    const wave::Bytes formats[] = {
        floatFormat,
        wave::PcmFormat(1, 44100, 24),
        wave::PcmFormat(3, 44100, 16),
        wave::PcmFormat(1, 0, 16),
        wave::PcmFormat(1, 44100, 16, 14),  // no bits per sample
    };
    for (const wave::Bytes& format : formats) {
        EXPECT_EQ(Create(format, 4410), nullptr);
        EXPECT_EQ(status, kSoundFailed);
    }
    EXPECT_EQ(Create(wave::PcmFormat(2, 44100, 16), 3), nullptr) << "less than one frame";
    EXPECT_EQ(status, kSoundFailed);
    SoundBuffer* stereo8 = Create(wave::PcmFormat(2, 22050, 8), 1001);
    ASSERT_NE(stereo8, nullptr) << "an odd length keeps its whole frames";
    void* region = nullptr;
    std::uint32_t length = 0;
    ASSERT_EQ(stereo8->LockWhole(&region, &length), kSoundOk);
    EXPECT_EQ(stereo8->Unlock(region, length), kSoundOk);
    EXPECT_EQ(stereo8->Unlock(nullptr, length), kSoundFailed) << "not the locked region";
    stereo8->Release();
}

TEST_F(OpenAlSound, PlayerLoadsAndPlaysTheClick) {
    // The player opens its own device; this one is not needed.
    device->Release();
    device = nullptr;
    CDirectSound player;
    void* window = nullptr;
    ASSERT_EQ(player.LoadFromResource(kClickSoundId, &window), 1);
    EXPECT_TRUE(player.IsReady());
    EXPECT_EQ(player.PlayAt(0, 0), kSoundOk);
    EXPECT_EQ(player.StopSound(), kSoundOk);
    EXPECT_EQ(player.PlayFromCursor(), kSoundOk);
}

// The sound libraries are quieted for the device's opening only: the
// program's environment, which its child processes inherit, is left as it
// was, and a log level the user set is kept.
TEST(OpenAlSoundEnvironment, OpeningADeviceLeavesTheLogLevelAsItWas) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    for (const char* level : {static_cast<const char*>(nullptr), "2"}) {
        if (level == nullptr) {
            unsetenv("ALSOFT_LOGLEVEL");
        } else {
            setenv("ALSOFT_LOGLEVEL", level, 1);
        }
        SoundDevice* device = nullptr;
        ASSERT_EQ(NativeSoundSystem()->CreateDefaultDevice(&device), kSoundOk);
        device->Release();
        const char* after = std::getenv("ALSOFT_LOGLEVEL");
        if (level == nullptr) {
            EXPECT_EQ(after, nullptr) << "left at " << after;
        } else {
            ASSERT_NE(after, nullptr);
            EXPECT_STREQ(after, level);
        }
    }
    unsetenv("ALSOFT_LOGLEVEL");
}

}  // namespace

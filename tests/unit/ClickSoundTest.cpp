// The click sound: a complete RIFF/WAVE file in the exact layout the player
// expects, and a short, clean click in it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "ResourceReading.h"
#include "resources/ResourceIds.h"

namespace {

class ClickSound : public ::testing::Test {
protected:
    void SetUp() override {
        wave = ByteReader(FindResourceBytes(kClickSoundId, kWaveResource));
        ASSERT_EQ(wave.Size(), 8828u);
        for (std::size_t i = 0; i < 4392; ++i) {
            samples.push_back(static_cast<std::int16_t>(*wave.U16(44 + 2 * i)));
        }
    }
    double Rms(std::size_t from, std::size_t to) const {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
        return std::sqrt(sum / double(to - from));
    }

    ByteReader wave{nullptr, 0};
    std::vector<std::int16_t> samples;
};

TEST_F(ClickSound, IsARiffWaveFileOfPcmMono16BitAt44100Hz) {
    EXPECT_EQ(wave.Tag(0), "RIFF");
    EXPECT_EQ(wave.U32(4), 8820u);
    EXPECT_EQ(wave.Tag(8), "WAVE");
    EXPECT_EQ(wave.Tag(12), "fmt ");
    EXPECT_EQ(wave.U32(16), 16u);
    EXPECT_EQ(wave.U16(20), 1u) << "PCM";
    EXPECT_EQ(wave.U16(22), 1u) << "channels";
    EXPECT_EQ(wave.U32(24), 44100u);
    EXPECT_EQ(wave.U32(28), 88200u) << "bytes per second";
    EXPECT_EQ(wave.U16(32), 2u) << "block alignment";
    EXPECT_EQ(wave.U16(34), 16u) << "bits per sample";
    EXPECT_EQ(wave.Tag(36), "data");
    EXPECT_EQ(wave.U32(40), 8784u);
}

TEST_F(ClickSound, IsAShortCleanClick) {
    double sum = 0;
    int peak = 0;
    std::size_t peakAt = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        sum += samples[i];
        if (std::abs(samples[i]) > peak) {
            peak = std::abs(samples[i]);
            peakAt = i;
        }
    }
    EXPECT_LT(std::fabs(sum / samples.size()), 2.0) << "DC offset";
    EXPECT_LT(peak, 32000) << "too close to clipping";
    EXPECT_GT(peak, 8000) << "too quiet";
    // A sharp attack within the first 5 ms, then a decay to near silence.
    EXPECT_LT(peakAt, 221u);
    EXPECT_LT(std::abs(samples.front()), 64);
    EXPECT_LT(std::abs(samples.back()), 64);
    const double attack = Rms(0, 882);
    EXPECT_GT(attack, 10 * Rms(2646, 4392));
    EXPECT_GT(Rms(882, 1764), Rms(3528, 4392)) << "the ringing should die away";
}

}  // namespace

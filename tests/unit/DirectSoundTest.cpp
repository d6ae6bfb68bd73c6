// The click player over a scripted sound system: loading, the device's
// retry rule and sharing, playing, stopping, lost buffers, and teardown.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeSoundSystem.h"
#include "WaveImages.h"
#include "platform/Resources.h"
#include "resources/ResourceIds.h"
#include "sound/DirectSound.h"

namespace {

using Calls = std::vector<std::string>;
using wave::Bytes;
using wave::Chunk;
using wave::PcmFormat;
using wave::Riff;
using wave::Samples;

class Player : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CDirectSound::PlayerCount(), 0);
        ASSERT_FALSE(CDirectSound::HasDevice());
        previous_ = CDirectSound::UseSoundSystem(&fake);
        click = FindResourceBytes(kClickSoundId, kWaveResource);
        ASSERT_NE(click.data, nullptr);
    }
    void TearDown() override {
        players_.clear();
        CDirectSound::UseSoundSystem(previous_);
        EXPECT_EQ(CDirectSound::PlayerCount(), 0);
        EXPECT_FALSE(CDirectSound::HasDevice());
        EXPECT_EQ(fake.liveDevices, 0);
        EXPECT_EQ(fake.liveBuffers, 0);
    }

    CDirectSound& NewPlayer() {
        players_.push_back(std::make_unique<CDirectSound>());
        return *players_.back();
    }
    // A player with the click loaded, and the calls it took forgotten.
    CDirectSound& LoadedPlayer() {
        CDirectSound& player = NewPlayer();
        EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), 1);
        fake.calls.clear();
        return player;
    }
    bool HoldsTheClick() const {
        return fake.contents.size() >= 8784 &&
               std::memcmp(fake.contents.data(), click.data + 44, 8784) == 0;
    }

    FakeSoundSystem fake;
    ResourceBytes click;
    int windowObject = 0;
    void* window = &windowObject;
    std::vector<std::unique_ptr<CDirectSound>> players_;

private:
    SoundSystem* previous_ = nullptr;
};

TEST_F(Player, ClickLoadsIntoAStaticBufferOfItsLength) {
    CDirectSound& player = NewPlayer();
    EXPECT_EQ(CDirectSound::PlayerCount(), 1);
    EXPECT_FALSE(player.IsReady());
    ASSERT_EQ(player.LoadFromResource(kClickSoundId, &window), 1);
    EXPECT_EQ(fake.calls, (Calls{"CreateDefaultDevice", "SetCooperativeLevel",
                                 "CreateStaticBuffer 8784", "LockWhole", "Unlock 8784"}));
    EXPECT_EQ(fake.window, window);
    EXPECT_EQ(fake.format.bytes, click.data + 20) << "the record in place, not a copy";
    EXPECT_EQ(fake.format.size, 16u);
    EXPECT_EQ(fake.contents.size(), 8784u);
    EXPECT_TRUE(HoldsTheClick());
    EXPECT_TRUE(player.IsReady());
    EXPECT_TRUE(CDirectSound::HasDevice());
}

TEST_F(Player, MissingResourceFailsBeforeAnyDevice) {
    CDirectSound& player = NewPlayer();
    EXPECT_EQ(player.LoadFromResource(9999, &window), 0);
    EXPECT_EQ(player.LoadWaveResource("CLICK", &window), 0);
    EXPECT_EQ(fake.calls, Calls{});
    EXPECT_FALSE(CDirectSound::HasDevice());
}

TEST_F(Player, MalformedImageFailsButTheDeviceItOpenedStaysOpen) {
    CDirectSound& player = NewPlayer();
    const Bytes notWave = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(8))}, "AVI ");
    EXPECT_EQ(player.InitFromMemory(notWave.data(), notWave.size(), &window), 0);
    EXPECT_EQ(fake.calls, (Calls{"CreateDefaultDevice", "SetCooperativeLevel"}));
    EXPECT_TRUE(CDirectSound::HasDevice());
    EXPECT_FALSE(player.IsReady());
    EXPECT_EQ(player.PlayAt(0, 0), 0);
    EXPECT_EQ(player.StopSound(), 0);

    // Nor do a short first format, a missing chunk, or a cut image.
    const Bytes images[] = {
        Riff({Chunk("fmt ", PcmFormat(1, 44100, 16, 12)), Chunk("fmt ", PcmFormat()),
              Chunk("data", Samples(8))}),
        Riff({Chunk("data", Samples(8))}),
        Riff({Chunk("fmt ", PcmFormat())}),
        Bytes(click.data, click.data + 40),
    };
    for (const Bytes& image : images) {
        EXPECT_EQ(player.InitFromMemory(image.data(), image.size(), &window), 0);
    }
    EXPECT_EQ(player.InitFromMemory(nullptr, 0, &window), 0);
    EXPECT_EQ(fake.Count("CreateDefaultDevice"), 1) << "the open device is reused";
    EXPECT_EQ(fake.Count("CreateStaticBuffer"), 0);
}

TEST_F(Player, DeviceRetryRule) {
    struct Case {
        const char* name;
        std::deque<SoundStatus> answers;
        int attempts;
        bool opened;
    };
    const Case cases[] = {
        {"busy every time", std::deque<SoundStatus>(20, kSoundBusy), 10, false},
        {"no driver every time", std::deque<SoundStatus>(20, kSoundNoDriver), 10, false},
        {"busy, then no driver, then free", {kSoundBusy, kSoundNoDriver}, 3, true},
        {"free at the tenth attempt", std::deque<SoundStatus>(9, kSoundBusy), 10, true},
        {"any other failure ends at once", {kSoundFailed, kSoundOk}, 1, false},
        {"busy, then another failure", {kSoundBusy, kSoundFailed, kSoundOk}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake = FakeSoundSystem();
        fake.answers.createDevice = c.answers;
        {
            CDirectSound player;
            EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), c.opened ? 1 : 0);
            EXPECT_EQ(fake.Count("CreateDefaultDevice"), c.attempts);
            EXPECT_EQ(fake.Count("Wait 500"), c.attempts - 1);
            EXPECT_EQ(fake.Count("Wait"), c.attempts - 1);
            EXPECT_EQ(fake.waitedMs, 500u * (c.attempts - 1));
            EXPECT_EQ(CDirectSound::HasDevice(), c.opened);
            EXPECT_EQ(fake.Count("SetCooperativeLevel"), c.opened ? 1 : 0);
            EXPECT_EQ(player.IsReady(), c.opened);
        }
        EXPECT_FALSE(CDirectSound::HasDevice());
    }
}

TEST_F(Player, FailedDeviceIsTriedAgainByALaterLoad) {
    CDirectSound& player = NewPlayer();
    fake.answers.createDevice = {kSoundFailed};
    EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), 0);
    EXPECT_FALSE(CDirectSound::HasDevice());
    EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), 1);
    EXPECT_EQ(fake.Count("CreateDefaultDevice"), 2);
}

TEST_F(Player, PlayersShareOneDeviceReleasedWithTheLast) {
    CDirectSound& first = LoadedPlayer();
    CDirectSound& second = NewPlayer();
    void* otherWindow = &fake;
    EXPECT_EQ(second.LoadFromResource(kClickSoundId, &otherWindow), 1);
    EXPECT_EQ(fake.calls, (Calls{"CreateStaticBuffer 8784", "LockWhole", "Unlock 8784"}))
        << "no second device and no second cooperative level";
    EXPECT_EQ(fake.window, window);
    EXPECT_TRUE(first.IsReady());
    EXPECT_TRUE(second.IsReady());
    EXPECT_EQ(CDirectSound::PlayerCount(), 2);

    fake.calls.clear();
    players_.erase(players_.begin());
    EXPECT_EQ(fake.calls, (Calls{"ReleaseBuffer"}));
    EXPECT_EQ(CDirectSound::PlayerCount(), 1);
    players_.clear();
    EXPECT_EQ(fake.calls, (Calls{"ReleaseBuffer", "ReleaseBuffer", "ReleaseDevice"}));
}

TEST_F(Player, PlayerThatNeverLoadedCountsDownAndReleasesTheDeviceAtZero) {
    NewPlayer();     // never loads
    LoadedPlayer();  // opens the device
    players_.erase(players_.begin() + 1);
    EXPECT_EQ(fake.calls, (Calls{"ReleaseBuffer"}));
    EXPECT_TRUE(CDirectSound::HasDevice());
    EXPECT_EQ(CDirectSound::PlayerCount(), 1);
    players_.clear();
    EXPECT_EQ(fake.calls, (Calls{"ReleaseBuffer", "ReleaseDevice"}));
    EXPECT_EQ(CDirectSound::PlayerCount(), 0);

    // Alone and without a device: nothing to release.
    fake.calls.clear();
    NewPlayer();
    players_.clear();
    EXPECT_EQ(fake.calls, Calls{});
}

TEST_F(Player, PlayAtClampsToTheEndAndChoosesLooping) {
    CDirectSound& player = LoadedPlayer();
    EXPECT_EQ(player.PlayAt(100, 0), kSoundOk);
    EXPECT_EQ(player.PlayAt(8784, 1), kSoundOk);
    EXPECT_EQ(player.PlayAt(8785, 7), kSoundOk);
    EXPECT_EQ(player.PlayAt(0xFFFFFFFFu, 0), kSoundOk);
    EXPECT_EQ(fake.calls,
              (Calls{"SetPlayPosition 100", "Play once", "SetPlayPosition 8784", "Play looping",
                     "SetPlayPosition 8784", "Play looping", "SetPlayPosition 8784", "Play once"}));
    const SoundStatus refused = static_cast<SoundStatus>(0x88780032u);
    fake.answers.play = {refused};
    EXPECT_EQ(player.PlayAt(0, 0), refused) << "the start request's own status";
}

TEST_F(Player, PlayFromCursorAndStop) {
    CDirectSound& player = LoadedPlayer();
    fake.position = 300;
    EXPECT_EQ(player.PlayFromCursor(), kSoundOk);
    EXPECT_EQ(player.StopSound(), kSoundOk);
    EXPECT_EQ(fake.calls, (Calls{"GetPlayPosition", "SetPlayPosition 300", "Play once", "Stop"}));

    fake.calls.clear();
    fake.answers.getPosition = {kSoundFailed};
    player.PlayFromCursor();
    EXPECT_EQ(fake.calls, (Calls{"GetPlayPosition", "SetPlayPosition 0", "Play once"}))
        << "an unreadable cursor starts the sound from the beginning";

    fake.answers.stop = {kSoundFailed};
    EXPECT_EQ(player.StopSound(), kSoundFailed);
}

TEST_F(Player, LostBufferOnPlayIsRefilledAndRetriedOnce) {
    CDirectSound& player = LoadedPlayer();
    fake.answers.play = {kSoundBufferLost};
    fake.answers.lock = {kSoundBufferLost};
    EXPECT_EQ(player.PlayAt(50, 1), kSoundOk);
    EXPECT_EQ(fake.calls, (Calls{"SetPlayPosition 50", "Play looping", "LockWhole", "Restore",
                                 "LockWhole", "Unlock 8784", "Play looping"}));
    EXPECT_TRUE(HoldsTheClick()) << "refilled after the restore emptied it";

    fake.calls.clear();
    fake.answers.play = {kSoundBufferLost, kSoundBufferLost, kSoundOk};
    EXPECT_EQ(player.PlayAt(0, 0), kSoundBufferLost) << "a second loss is returned";
    EXPECT_EQ(fake.calls,
              (Calls{"SetPlayPosition 0", "Play once", "LockWhole", "Unlock 8784", "Play once"}));
}

TEST_F(Player, FillRestoresALostBufferOnce) {
    CDirectSound& player = NewPlayer();
    fake.answers.lock = {kSoundBufferLost};
    EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), 1);
    EXPECT_EQ(fake.Count("Restore"), 1);
    EXPECT_TRUE(HoldsTheClick());

    // Lost twice, or a failing unlock: the load fails, the buffer stays and
    // the player counts as ready.
    for (auto script :
         {std::make_pair(std::deque<SoundStatus>{kSoundBufferLost, kSoundBufferLost},
                         std::deque<SoundStatus>{}),
          std::make_pair(std::deque<SoundStatus>{kSoundFailed}, std::deque<SoundStatus>{}),
          std::make_pair(std::deque<SoundStatus>{}, std::deque<SoundStatus>{kSoundFailed})}) {
        CDirectSound& other = NewPlayer();
        fake.calls.clear();
        fake.answers.lock = script.first;
        fake.answers.unlock = script.second;
        EXPECT_EQ(other.LoadFromResource(kClickSoundId, &window), 0);
        EXPECT_TRUE(other.IsReady());
        EXPECT_EQ(fake.Count("Restore"), script.first.size() == 2 ? 1 : 0);
        EXPECT_EQ(fake.Count("Unlock"), script.second.empty() ? 0 : 1);
    }
}

TEST_F(Player, FailedBufferCreationLeavesThePlayerSilent) {
    CDirectSound& player = NewPlayer();
    fake.answers.createBuffer = {kSoundFailed};
    EXPECT_EQ(player.LoadFromResource(kClickSoundId, &window), 0);
    EXPECT_FALSE(player.IsReady());
    EXPECT_TRUE(CDirectSound::HasDevice());
    fake.calls.clear();
    EXPECT_EQ(player.PlayAt(0, 1), 0);
    EXPECT_EQ(player.PlayFromCursor(), 0);
    EXPECT_EQ(player.StopSound(), 0);
    EXPECT_EQ(fake.calls, Calls{});
}

TEST_F(Player, EmptySamplesMakeNoReadyPlayer) {
    // Found and accepted by the walk, but nothing to play.
    CDirectSound& player = NewPlayer();
    const Bytes image = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", {})});
    player.InitFromMemory(image.data(), image.size(), &window);
    EXPECT_FALSE(player.IsReady());
    fake.calls.clear();
    EXPECT_EQ(player.PlayAt(0, 0), 0);
    EXPECT_EQ(fake.calls, Calls{});
}

TEST_F(Player, NoWindowHandleMeansANullWindow) {
    CDirectSound& player = NewPlayer();
    EXPECT_EQ(player.LoadFromResource(kClickSoundId, nullptr), 1);
    EXPECT_EQ(fake.window, nullptr);
}

TEST_F(Player, LongerRegionGetsSilenceAfterTheSamples) {
    fake.extraRegionBytes = 6;
    CDirectSound& player = NewPlayer();
    const Bytes image = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(10))});
    EXPECT_EQ(player.InitFromMemory(image.data(), image.size(), &window), 1);
    EXPECT_EQ(0, std::memcmp(fake.contents.data(), image.data() + 44, 10));
    EXPECT_EQ(fake.contents, [&] {
        Bytes expected(image.begin() + 44, image.begin() + 54);
        expected.resize(16, 0);
        return expected;
    }());
}

TEST_F(Player, SecondLoadReplacesTheFirstBuffer) {
    CDirectSound& player = LoadedPlayer();
    const Bytes image = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(10))});
    EXPECT_EQ(player.InitFromMemory(image.data(), image.size(), &window), 1);
    EXPECT_EQ(fake.calls,
              (Calls{"ReleaseBuffer", "CreateStaticBuffer 10", "LockWhole", "Unlock 10"}));
    EXPECT_EQ(fake.liveBuffers, 1);
}

}  // namespace

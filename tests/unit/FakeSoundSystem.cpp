#include "FakeSoundSystem.h"

namespace {

class FakeBuffer final : public SoundBuffer {
public:
    explicit FakeBuffer(FakeSoundSystem* fake) : fake_(fake) { ++fake_->liveBuffers; }

    SoundStatus LockWhole(void** region, std::uint32_t* length) override {
        fake_->calls.push_back("LockWhole");
        const SoundStatus status = FakeSoundSystem::Next(fake_->answers.lock);
        if (!SoundSucceeded(status)) return status;
        *region = fake_->contents.data();
        *length = static_cast<std::uint32_t>(fake_->contents.size());
        return status;
    }
    SoundStatus Unlock(void* region, std::uint32_t length) override {
        fake_->calls.push_back("Unlock " + std::to_string(length) +
                               (region == fake_->contents.data() ? "" : " (foreign region)"));
        return FakeSoundSystem::Next(fake_->answers.unlock);
    }
    // A restored buffer has its memory back, but not what was in it.
    SoundStatus Restore() override {
        fake_->calls.push_back("Restore");
        for (unsigned char& byte : fake_->contents) byte = 0xEE;
        return kSoundOk;
    }
    SoundStatus SetPlayPosition(std::uint32_t position) override {
        fake_->calls.push_back("SetPlayPosition " + std::to_string(position));
        fake_->position = position;
        return kSoundOk;
    }
    SoundStatus GetPlayPosition(std::uint32_t* position) override {
        fake_->calls.push_back("GetPlayPosition");
        const SoundStatus status = FakeSoundSystem::Next(fake_->answers.getPosition);
        // A failed read leaves something that is not a position.
        *position = SoundSucceeded(status) ? fake_->position : 0xDEADBEEFu;
        return status;
    }
    SoundStatus Play(bool looping) override {
        fake_->calls.push_back(looping ? "Play looping" : "Play once");
        return FakeSoundSystem::Next(fake_->answers.play);
    }
    SoundStatus Stop() override {
        fake_->calls.push_back("Stop");
        return FakeSoundSystem::Next(fake_->answers.stop);
    }
    void Release() override {
        fake_->calls.push_back("ReleaseBuffer");
        --fake_->liveBuffers;
        delete this;
    }

private:
    FakeSoundSystem* fake_;
};

class FakeDevice final : public SoundDevice {
public:
    explicit FakeDevice(FakeSoundSystem* fake) : fake_(fake) { ++fake_->liveDevices; }

    SoundStatus SetCooperativeLevel(void* window) override {
        fake_->calls.push_back("SetCooperativeLevel");
        fake_->window = window;
        return kSoundOk;
    }
    SoundStatus CreateStaticBuffer(const WaveFormatRecord& format, std::uint32_t length,
                                   SoundBuffer** buffer) override {
        fake_->calls.push_back("CreateStaticBuffer " + std::to_string(length));
        const SoundStatus status = FakeSoundSystem::Next(fake_->answers.createBuffer);
        if (!SoundSucceeded(status)) return status;
        fake_->format = format;
        // Not zero, so a fill that leaves bytes out shows.
        fake_->contents.assign(std::size_t{length} + fake_->extraRegionBytes, 0xCD);
        *buffer = new FakeBuffer(fake_);
        return status;
    }
    void Release() override {
        fake_->calls.push_back("ReleaseDevice");
        --fake_->liveDevices;
        delete this;
    }

private:
    FakeSoundSystem* fake_;
};

}  // namespace

SoundStatus FakeSoundSystem::Next(std::deque<SoundStatus>& answers) {
    if (answers.empty()) return kSoundOk;
    const SoundStatus status = answers.front();
    answers.pop_front();
    return status;
}

SoundStatus FakeSoundSystem::CreateDefaultDevice(SoundDevice** device) {
    calls.push_back("CreateDefaultDevice");
    const SoundStatus status = Next(answers.createDevice);
    if (SoundSucceeded(status)) *device = new FakeDevice(this);
    return status;
}

void FakeSoundSystem::Wait(std::uint32_t milliseconds) {
    calls.push_back("Wait " + std::to_string(milliseconds));
    waitedMs += milliseconds;
}

int FakeSoundSystem::Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& call : calls) n += call.compare(0, prefix.size(), prefix) == 0;
    return n;
}

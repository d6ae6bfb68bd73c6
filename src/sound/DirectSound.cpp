#include "sound/DirectSound.h"

#include <algorithm>
#include <cstring>

#include "sound/RiffWave.h"
#include "sound/WaveResource.h"

namespace {

// A busy device or a missing driver may come good shortly (another program
// letting go of the device, a driver still starting).
constexpr int kDeviceAttempts = 10;
constexpr std::uint32_t kDeviceRetryWaitMs = 500;

}  // namespace

SoundDevice* CDirectSound::device_ = nullptr;
std::int32_t CDirectSound::playerCount_ = 0;
SoundSystem* CDirectSound::system_ = nullptr;

CDirectSound::CDirectSound() { ++playerCount_; }

CDirectSound::~CDirectSound() {
    if (buffer_ != nullptr) {
        buffer_->Release();
        buffer_ = nullptr;
    }
    --playerCount_;
    if (playerCount_ == 0 && device_ != nullptr) {
        device_->Release();
        device_ = nullptr;
    }
}

int CDirectSound::PlayerCount() { return playerCount_; }

bool CDirectSound::HasDevice() { return device_ != nullptr; }

SoundSystem* CDirectSound::UseSoundSystem(SoundSystem* system) {
    SoundSystem* previous = system_ != nullptr ? system_ : NativeSoundSystem();
    system_ = system;
    return previous;
}

int CDirectSound::LoadFromResource(std::uint16_t id, void* const* window) {
    return LoadWaveResource(IntegerResourceName(id), window);
}

int CDirectSound::LoadWaveResource(const char* name, void* const* window) {
    const ResourceBytes bytes = FindWaveResource(name);
    if (bytes.data == nullptr) return 0;
    return InitFromMemory(bytes.data, bytes.size, window);
}

int CDirectSound::InitFromMemory(const unsigned char* image, std::size_t size,
                                 void* const* window) {
    if (!SetupDevice(window)) return 0;
    WaveFormatRecord format;
    if (!ParseWave(image, size, &format)) return 0;
    if (!CreateBuffer(format)) return 0;
    return FillBuffer(sampleData_, sampleLength_) ? 1 : 0;
}

bool CDirectSound::SetupDevice(void* const* window) {
    if (device_ != nullptr) return true;
    SoundSystem* system = system_ != nullptr ? system_ : NativeSoundSystem();
    for (int attempt = 1;; ++attempt) {
        SoundDevice* device = nullptr;
        const SoundStatus status = system->CreateDefaultDevice(&device);
        if (SoundSucceeded(status) && device != nullptr) {
            device_ = device;
            break;
        }
        const bool worthRetrying = status == kSoundBusy || status == kSoundNoDriver;
        if (!worthRetrying || attempt == kDeviceAttempts) return false;
        system->Wait(kDeviceRetryWaitMs);
    }
    // Its result changes nothing for us: the device plays either way.
    device_->SetCooperativeLevel(window != nullptr ? *window : nullptr);
    return true;
}

bool CDirectSound::ParseWave(const unsigned char* image, std::size_t size,
                             WaveFormatRecord* format) {
    WaveChunks chunks;
    const bool found = WalkRiffWave(image, size, &chunks);
    *format = chunks.format;
    sampleData_ = chunks.sampleData;
    sampleLength_ = chunks.sampleLength;
    return found;
}

bool CDirectSound::CreateBuffer(const WaveFormatRecord& format) {
    // A second load replaces the first sound instead of leaking its buffer.
    if (buffer_ != nullptr) {
        buffer_->Release();
        buffer_ = nullptr;
    }
    SoundBuffer* buffer = nullptr;
    const SoundStatus status = device_->CreateStaticBuffer(format, sampleLength_, &buffer);
    if (!SoundSucceeded(status) || buffer == nullptr) {
        if (buffer != nullptr) buffer->Release();
        return false;
    }
    buffer_ = buffer;
    return true;
}

bool CDirectSound::FillBuffer(const unsigned char* sampleData, std::uint32_t sampleLength) {
    void* region = nullptr;
    std::uint32_t regionLength = 0;
    SoundStatus status = buffer_->LockWhole(&region, &regionLength);
    if (status == kSoundBufferLost) {
        buffer_->Restore();
        status = buffer_->LockWhole(&region, &regionLength);
    }
    if (!SoundSucceeded(status) || region == nullptr) return false;
    // The region should be exactly the samples' length; should it be longer,
    // the rest is silence rather than whatever follows the samples.
    const std::uint32_t copied = std::min(regionLength, sampleLength);
    std::memcpy(region, sampleData, copied);
    std::memset(static_cast<unsigned char*>(region) + copied, 0, regionLength - copied);
    return SoundSucceeded(buffer_->Unlock(region, regionLength));
}

bool CDirectSound::IsReady() const {
    return device_ != nullptr && buffer_ != nullptr && sampleData_ != nullptr && sampleLength_ != 0;
}

SoundStatus CDirectSound::PlayAt(std::uint32_t position, int loop) {
    if (!IsReady() || enabled_ == 0) return 0;
    buffer_->SetPlayPosition(std::min(position, sampleLength_));
    const bool looping = loop != 0;
    const SoundStatus status = buffer_->Play(looping);
    if (status != kSoundBufferLost) return status;
    FillBuffer(sampleData_, sampleLength_);
    return buffer_->Play(looping);
}

SoundStatus CDirectSound::PlayFromCursor() {
    if (!IsReady()) return 0;
    // A cursor that cannot be read counts as the start of the sound.
    std::uint32_t cursor = 0;
    if (!SoundSucceeded(buffer_->GetPlayPosition(&cursor))) cursor = 0;
    return PlayAt(cursor, 0);
}

SoundStatus CDirectSound::StopSound() {
    if (!IsReady()) return 0;
    return buffer_->Stop();
}

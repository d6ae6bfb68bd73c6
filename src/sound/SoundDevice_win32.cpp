// The sound platform on Windows: DirectSound's default device, static
// secondary buffers on it, and Sleep between attempts to open it. Lacks
// nothing the player uses; statuses are DirectSound's own.
#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

#include <cstring>

#include "sound/SoundDevice.h"

static_assert(DSERR_ALLOCATED == kSoundBusy);
static_assert(DSERR_NODRIVER == kSoundNoDriver);
static_assert(DSERR_BUFFERLOST == kSoundBufferLost);
static_assert(E_FAIL == kSoundFailed);

namespace {

class DirectSoundStaticBuffer final : public SoundBuffer {
public:
    explicit DirectSoundStaticBuffer(IDirectSoundBuffer* buffer) : buffer_(buffer) {}

    SoundStatus LockWhole(void** region, std::uint32_t* length) override {
        DWORD bytes = 0;
        const HRESULT status =
            buffer_->Lock(0, 0, region, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
        *length = bytes;
        return status;
    }
    SoundStatus Unlock(void* region, std::uint32_t length) override {
        return buffer_->Unlock(region, length, nullptr, 0);
    }
    SoundStatus Restore() override { return buffer_->Restore(); }
    SoundStatus SetPlayPosition(std::uint32_t position) override {
        return buffer_->SetCurrentPosition(position);
    }
    SoundStatus GetPlayPosition(std::uint32_t* position) override {
        DWORD play = 0;
        const HRESULT status = buffer_->GetCurrentPosition(&play, nullptr);
        *position = play;
        return status;
    }
    SoundStatus Play(bool looping) override {
        return buffer_->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
    }
    SoundStatus Stop() override { return buffer_->Stop(); }
    void Release() override {
        buffer_->Release();
        delete this;
    }

private:
    IDirectSoundBuffer* buffer_;
};

std::uint16_t ReadU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// DirectSound reads a whole WAVEFORMATEX, and for formats other than PCM
// the cbSize extension bytes after it. The image's record is used in place
// when all of that lies inside the image; otherwise (a short record at the
// image's end) a zero-padded copy without extension keeps the reads inside.
const WAVEFORMATEX* FormatForDirectSound(const WaveFormatRecord& record, WAVEFORMATEX* copy) {
    const std::size_t base = sizeof(WAVEFORMATEX);
    if (record.readable >= base) {
        const bool pcm = ReadU16(record.bytes) == WAVE_FORMAT_PCM;
        const std::size_t extension = ReadU16(record.bytes + 16);
        if (pcm || extension <= record.readable - base) {
            return reinterpret_cast<const WAVEFORMATEX*>(record.bytes);
        }
    }
    std::memset(copy, 0, base);
    if (record.bytes != nullptr) {
        std::memcpy(copy, record.bytes, record.readable < base ? record.readable : base);
    }
    copy->cbSize = 0;
    return copy;
}

class DirectSoundDevice final : public SoundDevice {
public:
    explicit DirectSoundDevice(IDirectSound* device) : device_(device) {}

    SoundStatus SetCooperativeLevel(void* window) override {
        return device_->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_NORMAL);
    }
    SoundStatus CreateStaticBuffer(const WaveFormatRecord& format, std::uint32_t length,
                                   SoundBuffer** buffer) override {
        *buffer = nullptr;
        WAVEFORMATEX copy;
        DSBUFFERDESC description;
        std::memset(&description, 0, sizeof description);
        description.dwSize = sizeof description;
        description.dwFlags = DSBCAPS_STATIC;
        description.dwBufferBytes = length;
        description.lpwfxFormat = const_cast<WAVEFORMATEX*>(FormatForDirectSound(format, &copy));
        IDirectSoundBuffer* created = nullptr;
        const HRESULT status = device_->CreateSoundBuffer(&description, &created, nullptr);
        if (SUCCEEDED(status) && created != nullptr) {
            *buffer = new DirectSoundStaticBuffer(created);
        }
        return status;
    }
    void Release() override {
        device_->Release();
        delete this;
    }

private:
    IDirectSound* device_;
};

class DirectSoundSystem final : public SoundSystem {
public:
    SoundStatus CreateDefaultDevice(SoundDevice** device) override {
        *device = nullptr;
        IDirectSound* created = nullptr;
        const HRESULT status = DirectSoundCreate(nullptr, &created, nullptr);
        if (SUCCEEDED(status) && created != nullptr) *device = new DirectSoundDevice(created);
        return status;
    }
    void Wait(std::uint32_t milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

SoundSystem* NativeSoundSystem() {
    static DirectSoundSystem system;
    return &system;
}

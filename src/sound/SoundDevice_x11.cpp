// The sound platform on Linux: OpenAL Soft's default device with one
// context; each static buffer is an OpenAL buffer played by its own source,
// with the samples kept beside it for locking. Lacks: formats other than
// 8- and 16-bit PCM, mono or stereo (buffer creation fails); lost buffers
// (OpenAL never takes a buffer away, so Restore has nothing to do);
// cooperative levels (accepted and ignored). A device that cannot be opened
// is an ordinary failure, never "no driver": a machine without a sound
// server should not wait for one at start-up, nor hear about it: the
// libraries' own complaints are kept off standard error, which screensaver
// hosts log.
#include <AL/al.h>
#include <AL/alc.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "sound/SoundDevice.h"

namespace {

std::uint32_t ReadU16(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}

std::uint32_t ReadU32(const unsigned char* p) { return ReadU16(p) | ReadU16(p + 2) << 16; }

SoundStatus CheckAl() { return alGetError() == AL_NO_ERROR ? kSoundOk : kSoundFailed; }

struct AlFormat {
    ALenum format = AL_NONE;
    ALsizei rate = 0;
    std::uint32_t frameBytes = 0;
};

// The OpenAL format of a PCM wave format record; format AL_NONE when there
// is none or the record is too short to say.
AlFormat ToAlFormat(const WaveFormatRecord& record) {
    AlFormat out;
    if (record.bytes == nullptr || record.readable < 16) return out;
    const unsigned char* r = record.bytes;
    const std::uint32_t tag = ReadU16(r), channels = ReadU16(r + 2), bits = ReadU16(r + 14);
    const std::uint32_t rate = ReadU32(r + 4);
    if (tag != 1 || rate == 0 || rate > 384000) return out;
    if (channels == 1 && bits == 8) out.format = AL_FORMAT_MONO8;
    if (channels == 1 && bits == 16) out.format = AL_FORMAT_MONO16;
    if (channels == 2 && bits == 8) out.format = AL_FORMAT_STEREO8;
    if (channels == 2 && bits == 16) out.format = AL_FORMAT_STEREO16;
    out.rate = static_cast<ALsizei>(rate);
    out.frameBytes = channels * bits / 8;
    return out;
}

class OpenAlStaticBuffer final : public SoundBuffer {
public:
    OpenAlStaticBuffer(ALuint buffer, ALuint source, AlFormat format, std::uint32_t length)
        : buffer_(buffer), source_(source), format_(format), bytes_(length) {}

    SoundStatus LockWhole(void** region, std::uint32_t* length) override {
        *region = bytes_.data();
        *length = static_cast<std::uint32_t>(bytes_.size());
        return kSoundOk;
    }
    // Hands the samples to OpenAL, whole frames only.
    SoundStatus Unlock(void* region, std::uint32_t length) override {
        if (region != bytes_.data() || length != bytes_.size()) return kSoundFailed;
        alGetError();
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        const std::uint32_t whole = length / format_.frameBytes * format_.frameBytes;
        alBufferData(buffer_, format_.format, bytes_.data(), static_cast<ALsizei>(whole),
                     format_.rate);
        alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_));
        return CheckAl();
    }
    SoundStatus Restore() override { return kSoundOk; }
    // OpenAL keeps an offset set on a source that is not playing or paused
    // for its next start but reports 0 until then; the buffer reports the
    // offset it was given, as a DirectSound buffer does.
    SoundStatus SetPlayPosition(std::uint32_t position) override {
        alGetError();
        alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(position));
        const SoundStatus status = CheckAl();
        if (status == kSoundOk && !Started()) pending_ = position;
        return status;
    }
    SoundStatus GetPlayPosition(std::uint32_t* position) override {
        alGetError();
        if (!Started()) {
            *position = pending_;
            return CheckAl();
        }
        ALint offset = 0;
        alGetSourcei(source_, AL_BYTE_OFFSET, &offset);
        *position = static_cast<std::uint32_t>(offset);
        return CheckAl();
    }
    // OpenAL restarts a playing source from the beginning on a second
    // alSourcePlay; a playing buffer only takes the new looping choice.
    SoundStatus Play(bool looping) override {
        alGetError();
        alSourcei(source_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) {
            alSourcePlay(source_);
            pending_ = 0;
        }
        return CheckAl();
    }
    // Pausing, unlike OpenAL's stop, keeps the position.
    SoundStatus Stop() override {
        alGetError();
        alSourcePause(source_);
        return CheckAl();
    }
    void Release() override {
        alSourceStop(source_);
        alDeleteSources(1, &source_);
        alDeleteBuffers(1, &buffer_);
        delete this;
    }

private:
    bool Started() const {
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING || state == AL_PAUSED;
    }

    ALuint buffer_;
    ALuint source_;
    std::uint32_t pending_ = 0;
    AlFormat format_;
    std::vector<unsigned char> bytes_;
};

class OpenAlDevice final : public SoundDevice {
public:
    OpenAlDevice(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {}

    SoundStatus SetCooperativeLevel(void*) override { return kSoundOk; }
    SoundStatus CreateStaticBuffer(const WaveFormatRecord& format, std::uint32_t length,
                                   SoundBuffer** buffer) override {
        *buffer = nullptr;
        const AlFormat al = ToAlFormat(format);
        if (al.format == AL_NONE || length < al.frameBytes) return kSoundFailed;
        alGetError();
        ALuint names[2] = {0, 0};
        alGenBuffers(1, &names[0]);
        if (CheckAl() != kSoundOk) return kSoundFailed;
        alGenSources(1, &names[1]);
        if (CheckAl() != kSoundOk) {
            alDeleteBuffers(1, &names[0]);
            return kSoundFailed;
        }
        *buffer = new OpenAlStaticBuffer(names[0], names[1], al, length);
        return kSoundOk;
    }
    void Release() override {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
        delete this;
    }

private:
    ALCdevice* device_;
    ALCcontext* context_;
};

// ALSA's error handler type (alsa/error.h), declared here: the program
// does not link ALSA, OpenAL Soft loads it when it tries that backend.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// While alive, the sound libraries stay quiet about a device that cannot be
// opened: on a machine without a sound card OpenAL Soft logs its failed
// backend and the ALSA library it loads prints its own errors, about ten
// lines on each start, for a click the clock never plays. OpenAL Soft reads
// its log level once, at its first use, so the level is set only around
// that and taken away again, and neither a child process nor anything else
// sees it; ALSA's handler is set in its library before OpenAL Soft loads
// it, and stays with it where OpenAL keeps it loaded. A user who set the
// log level wants to see the libraries' messages: then nothing changes.
// The environment is written while the program's other threads (the GL
// driver's workers, full screen's wait for an ending signal) are running;
// none of them reads it.
class QuietSoundLibraries {
public:
    QuietSoundLibraries() {
        if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) return;
        levelSet_ = setenv("ALSOFT_LOGLEVEL", "0", 0) == 0;
        alsa_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (alsa_ == nullptr) return;
        using SetHandler = int (*)(AlsaErrorHandler);
        const auto setHandler =
            reinterpret_cast<SetHandler>(dlsym(alsa_, "snd_lib_error_set_handler"));
        if (setHandler != nullptr) setHandler(IgnoreAlsaError);
    }
    ~QuietSoundLibraries() {
        if (levelSet_) unsetenv("ALSOFT_LOGLEVEL");
        if (alsa_ != nullptr) dlclose(alsa_);
    }
    QuietSoundLibraries(const QuietSoundLibraries&) = delete;
    QuietSoundLibraries& operator=(const QuietSoundLibraries&) = delete;

private:
    bool levelSet_ = false;
    void* alsa_ = nullptr;
};

class OpenAlSystem final : public SoundSystem {
public:
    SoundStatus CreateDefaultDevice(SoundDevice** device) override {
        *device = nullptr;
        ALCdevice* opened = nullptr;
        {
            const QuietSoundLibraries quiet;
            opened = alcOpenDevice(nullptr);
        }
        if (opened == nullptr) return kSoundFailed;
        ALCcontext* context = alcCreateContext(opened, nullptr);
        if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
            if (context != nullptr) alcDestroyContext(context);
            alcCloseDevice(opened);
            return kSoundFailed;
        }
        *device = new OpenAlDevice(opened, context);
        return kSoundOk;
    }
    void Wait(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

SoundSystem* NativeSoundSystem() {
    static OpenAlSystem system;
    return &system;
}

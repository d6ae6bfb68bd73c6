// Loads the click through the player on the platform's real sound device,
// plays it once and waits for it to finish. Exit status 0 when the load and
// the start succeeded, 1 when the load failed, 2 when the start failed. The
// sound test captures what comes out.
#include <chrono>
#include <cstdio>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "resources/ResourceIds.h"
#include "sound/DirectSound.h"

int main() {
#ifdef _WIN32
    // DirectSound wants a window for its cooperative level; any will do.
    void* window = GetDesktopWindow();
#else
    void* window = nullptr;
#endif
    CDirectSound* player = new CDirectSound();
    if (player->LoadFromResource(kClickSoundId, &window) != 1) {
        std::fprintf(stderr, "play_click: the click did not load\n");
        delete player;
        return 1;
    }
    const SoundStatus started = player->PlayAt(0, 0);
    if (started != kSoundOk) {
        std::fprintf(stderr, "play_click: the start failed with 0x%08x\n",
                     static_cast<unsigned>(started));
        delete player;
        return 2;
    }
    // The click lasts 0.1 s; the rest lets the device start its stream and
    // drain it, also on a busy machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    delete player;
    return 0;
}

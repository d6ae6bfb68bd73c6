/* A preload library of the tests' own that answers the DPMS extension's
 * queries, for servers without it (Xvfb, the dummy driver): the extension is
 * there, enabled, and the monitor's level is what the file named by
 * TOLVANE_FAKE_DPMS says at each question ("off", "standby" or "suspend";
 * anything else, or no file, is On). Each DPMSInfo call appends the time it
 * was made (CLOCK_MONOTONIC seconds, read with the system call itself so
 * that faketime does not shift it) to that file's name with ".asked".
 *
 *   LD_PRELOAD=libdpms_fake.so TOLVANE_FAKE_DPMS=dpms.txt PROGRAM
 */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

enum { kModeOn = 0, kModeStandby = 1, kModeSuspend = 2, kModeOff = 3 };

static void NoteQuestion(const char* path) {
    char log[4096];
    if (snprintf(log, sizeof log, "%s.asked", path) >= (int)sizeof log) return;
    struct timespec now;
    syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &now);
    FILE* file = fopen(log, "a");
    if (file == NULL) return;
    fprintf(file, "%ld.%09ld\n", (long)now.tv_sec, now.tv_nsec);
    fclose(file);
}

static unsigned short Level(const char* path) {
    char text[16] = {0};
    FILE* file = fopen(path, "r");
    if (file == NULL) return kModeOn;
    const size_t length = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[length] = '\0';
    if (strncmp(text, "off", 3) == 0) return kModeOff;
    if (strncmp(text, "standby", 7) == 0) return kModeStandby;
    if (strncmp(text, "suspend", 7) == 0) return kModeSuspend;
    return kModeOn;
}

int DPMSQueryExtension(void* display, int* eventBase, int* errorBase) {
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return getenv("TOLVANE_FAKE_DPMS") != NULL;
}

int DPMSInfo(void* display, unsigned short* level, unsigned char* enabled) {
    (void)display;
    const char* path = getenv("TOLVANE_FAKE_DPMS");
    if (path == NULL) return 0;
    NoteQuestion(path);
    *level = Level(path);
    *enabled = 1;
    return 1;
}

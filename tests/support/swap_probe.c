/* A preload library of the tests' own that counts presented frames without
 * changing the program: every glXSwapBuffers call, and every
 * glXCopySubBufferMESA (a frame presented by its changed rectangle), appends
 * the time it was made (CLOCK_MONOTONIC seconds, the clock Python's
 * time.monotonic reads) as one line to the file named by TOLVANE_SWAP_LOG.
 * The time is read with the system call itself, so that faketime, which the
 * tests run the program under, does not shift it.
 *
 * GLFW looks glXSwapBuffers up with dlsym on the GL library it opened, and
 * Wine's X11 driver through that library's glXGetProcAddressARB, which a
 * plain preloaded definition would not catch. So the probe, itself linked
 * against libGL, hands out its own handle when libGL is opened: a lookup on
 * it finds the probe's wrappers first and everything else in libGL.
 *
 *   LD_PRELOAD=libswap_probe.so TOLVANE_SWAP_LOG=swaps.txt PROGRAM
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapFunction)(void* display, unsigned long drawable);
typedef void (*CopySubBufferFunction)(void* display, unsigned long drawable, int x, int y,
                                      int width, int height);
typedef void* (*GetProcFunction)(const unsigned char* name);
typedef void* (*OpenFunction)(const char* file, int flags);

static int g_log = -1;

static void RecordSwap(void) {
    if (g_log < 0) {
        const char* path = getenv("TOLVANE_SWAP_LOG");
        if (path == NULL) return;
        g_log = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (g_log < 0) return;
    }
    struct timespec now;
    syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &now);
    char line[40];
    const int length =
        snprintf(line, sizeof line, "%lld.%09ld\n", (long long)now.tv_sec, (long)now.tv_nsec);
    if (length > 0 && write(g_log, line, (size_t)length) != length) {
        /* A lost line shows as a missing swap; nothing else to do here. */
    }
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapFunction real;
    RecordSwap();
    if (real == NULL) real = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (real != NULL) real(display, drawable);
}

static GetProcFunction g_realGetProc;

/* An extension's entry point, which libGL hands out only by lookup. */
void glXCopySubBufferMESA(void* display, unsigned long drawable, int x, int y, int width,
                          int height) {
    static CopySubBufferFunction real;
    RecordSwap();
    if (real == NULL && g_realGetProc != NULL) {
        real = (CopySubBufferFunction)g_realGetProc((const unsigned char*)"glXCopySubBufferMESA");
    }
    if (real != NULL) real(display, drawable, x, y, width, height);
}

static void* GetProc(const char* which, GetProcFunction* real, const unsigned char* name) {
    if (strcmp((const char*)name, "glXSwapBuffers") == 0) return (void*)glXSwapBuffers;
    if (*real == NULL) *real = (GetProcFunction)dlsym(RTLD_NEXT, which);
    if (g_realGetProc == NULL) g_realGetProc = *real;
    if (strcmp((const char*)name, "glXCopySubBufferMESA") == 0) return (void*)glXCopySubBufferMESA;
    return *real != NULL ? (*real)(name) : NULL;
}

void* glXGetProcAddressARB(const unsigned char* name) {
    static GetProcFunction real;
    return GetProc("glXGetProcAddressARB", &real, name);
}

void* glXGetProcAddress(const unsigned char* name) {
    static GetProcFunction real;
    return GetProc("glXGetProcAddress", &real, name);
}

void* dlopen(const char* file, int flags) {
    static OpenFunction real;
    if (real == NULL) real = (OpenFunction)dlsym(RTLD_NEXT, "dlopen");
    if (real == NULL) return NULL;
    if (file != NULL && (strcmp(file, "libGL.so.1") == 0 || strcmp(file, "libGL.so") == 0)) {
        Dl_info self;
        if (dladdr((void*)glXSwapBuffers, &self) != 0 && self.dli_fname != NULL) {
            void* handle = real(self.dli_fname, flags);
            if (handle != NULL) return handle;
        }
    }
    return real(file, flags);
}

/* A stand-in for a screensaver host on X11: a top-level window holding a
 * preview window of the given size (default 152 x 112) at the given place on
 * the screen (default 120, 120; 0, 0 for one that fills it), painted red, whose
 * decimal id it prints on standard output. It then reads commands from
 * standard input, one per line:
 *   destroy   destroy the preview window
 *   unmap     unmap the preview window
 *   resize W H    the preview window, and the frame around it
 *   focus     give the keyboard focus to the top-level window, as another
 *             program taking the foreground does
 *   quit      end
 * and answers each with "ok". The tests pass the id to the screensaver as
 * "/p <id>" and drive the host from here. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>

static int ignore_errors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

int main(int argc, char** argv) {
    unsigned width = argc > 1 ? (unsigned)atoi(argv[1]) : 152;
    unsigned height = argc > 2 ? (unsigned)atoi(argv[2]) : 112;
    int x = argc > 4 ? atoi(argv[3]) : 120;
    int y = argc > 4 ? atoi(argv[4]) : 120;
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "x11_preview_host: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    int screen = DefaultScreen(display);
    Window top = XCreateSimpleWindow(display, RootWindow(display, screen), x - 20, y - 20,
                                     width + 40, height + 40, 0, 0, 0x404040);
    XStoreName(display, top, "Preview host");
    Window preview = XCreateSimpleWindow(display, top, 20, 20, width, height, 0, 0, 0xFF0000);
    XMapWindow(display, preview);
    XMapWindow(display, top);
    XSync(display, False);
    printf("%lu\n", (unsigned long)preview);
    fflush(stdout);

    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned w = 0;
        unsigned h = 0;
        if (strncmp(line, "destroy", 7) == 0)
            XDestroyWindow(display, preview);
        else if (strncmp(line, "unmap", 5) == 0)
            XUnmapWindow(display, preview);
        else if (sscanf(line, "resize %u %u", &w, &h) == 2) {
            /* The frame grows with it, so all of the preview shows. */
            XResizeWindow(display, top, w + 40, h + 40);
            XResizeWindow(display, preview, w, h);
        } else if (strncmp(line, "focus", 5) == 0)
            XSetInputFocus(display, top, RevertToParent, CurrentTime);
        else if (strncmp(line, "quit", 4) == 0)
            break;
        XSync(display, False);
        printf("ok\n");
        fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}

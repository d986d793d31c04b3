/* Prints "ready", then the CLOCK_MONOTONIC time in nanoseconds of the first top-level window mapped
 * on the display (a MapNotify on the root window) after it started, and exits. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <time.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            struct timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            printf("%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            fflush(stdout);
            return 0;
        }
    }
}

// Starts a program and measures the time until it maps its first top-level window on the X
// display, then waits HOLD ms more (the first paint), ends it and prints the seconds to the
// map and the peak resident memory in KiB.
//
// map_timer HOLD_MS PROGRAM [ARG...]
//
// Output: "<seconds> <peak KiB>". Run it without a window manager, so that the program's own
// window is the one mapped on the root window.
#include <X11/Xlib.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

static double Now() {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: map_timer HOLD_MS PROGRAM [ARG...]\n");
        return 2;
    }
    const int hold = atoi(argv[1]);
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "map_timer: cannot open the display\n");
        return 2;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double mapped = -1;
    const int fd = ConnectionNumber(dpy);
    while (mapped < 0 && Now() - start < 30) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && !ev.xmap.override_redirect) {
                mapped = Now() - start;
                break;
            }
        }
        if (mapped >= 0) break;
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            fprintf(stderr, "map_timer: the program ended before it mapped a window\n");
            return 1;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        struct timeval tv = {0, 10000};
        select(fd + 1, &set, NULL, NULL, &tv);
    }
    if (mapped < 0) {
        kill(child, SIGKILL);
        fprintf(stderr, "map_timer: no window within 30 s\n");
        return 1;
    }
    usleep(static_cast<useconds_t>(hold) * 1000);
    kill(child, SIGTERM);
    int status;
    struct rusage usage;
    wait4(child, &status, 0, &usage);
    printf("%.4f %ld\n", mapped, usage.ru_maxrss);
    XCloseDisplay(dpy);
    return 0;
}

/* Starts a program and waits until a window of its process is mapped on the
 * X display; prints the wall time from just before the start to the map, then
 * ends the program (SIGTERM) unless -k is given, in which case it prints the
 * program's pid and window and leaves it running.
 * Usage: zembrot_bench_map_wait [-k] PROGRAM [ARGS...]
 * Output: map_ms=<ms> pid=<pid> window=<id> */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int IgnoreErrors(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

static double NowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static long WindowPid(Display* d, Window w, Atom pidAtom)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success
        && data != NULL && n == 1 && format == 32)
        pid = (long)*(unsigned long*)data;
    if (data)
        XFree(data);
    return pid;
}

int main(int argc, char** argv)
{
    int keep = 0, first = 1;
    if (argc > 1 && strcmp(argv[1], "-k") == 0) { keep = 1; first = 2; }
    if (argc <= first) { fprintf(stderr, "usage: %s [-k] PROGRAM [ARGS...]\n", argv[0]); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "map_wait: no display\n"); return 1; }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(d);
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    const double t0 = NowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(d));
        execvp(argv[first], argv + first);
        _exit(127);
    }
    double mapped = -1;
    Window found = 0;
    while (mapped < 0) {
        if (!XPending(d)) {
            struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
            if (NowMs() - t0 > 30000) break;
            if (poll(&p, 1, 100) <= 0) {
                if (waitpid(pid, NULL, WNOHANG) == pid) break;
                continue;
            }
        }
        XEvent e;
        XNextEvent(d, &e);
        const double at = NowMs();
        if (e.type == CreateNotify && e.xcreatewindow.parent == root) {
            /* Its own map is seen through its structure, even once a window manager has reparented it. */
            XSelectInput(d, e.xcreatewindow.window, StructureNotifyMask);
            XWindowAttributes a;
            if (XGetWindowAttributes(d, e.xcreatewindow.window, &a) && a.map_state != IsUnmapped
                && WindowPid(d, e.xcreatewindow.window, pidAtom) == pid) {
                mapped = at; found = e.xcreatewindow.window;
            }
        } else if (e.type == MapNotify && WindowPid(d, e.xmap.window, pidAtom) == pid) {
            mapped = at; found = e.xmap.window;
        }
    }
    if (mapped < 0) {
        fprintf(stderr, "map_wait: no window mapped by pid %d\n", (int)pid);
        kill(pid, SIGTERM);
        waitpid(pid, NULL, 0);
        return 1;
    }
    printf("map_ms=%.3f pid=%d window=%lu\n", mapped - t0, (int)pid, (unsigned long)found);
    fflush(stdout);
    if (!keep) {
        kill(pid, SIGTERM);
        waitpid(pid, NULL, 0);
    }
    XCloseDisplay(d);
    return 0;
}

/* Waits for a top-level window whose name starts with PREFIX to be mapped
   and prints the wall-clock time of that moment in milliseconds. With
   "unmap" it waits instead for such a window, mapped when it starts, to
   be unmapped or destroyed. With "span" it prints both: the time such a
   window is mapped, then the time it is unmapped or destroyed.
   It prints "ready" once it listens, so the caller can start the program
   under test only then. Event-driven: unlike a polling loop of client
   programs, it takes no CPU from the program being measured.
   Exit status: 0 seen, 1 timed out, 2 usage or no display. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

static int name_matches(Display *d, Window w, const char *prefix)
{
    XTextProperty tp;
    int ok = 0;
    if (XGetWMName(d, w, &tp) && tp.value) {
        ok = strncmp((const char *)tp.value, prefix, strlen(prefix)) == 0;
        XFree(tp.value);
    }
    return ok;
}

enum { MAX_WATCHED = 16 };

/* The mapped top-level windows named PREFIX, into watched; their count. */
static int mapped_windows(Display *d, const char *prefix, Window *watched)
{
    Window root, parent, *children = NULL;
    unsigned int n = 0;
    int count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return 0;
    for (unsigned int i = 0; i < n && count < MAX_WATCHED; i++) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            name_matches(d, children[i], prefix))
            watched[count++] = children[i];
    }
    if (children)
        XFree(children);
    return count;
}

static int is_watched(Window w, const Window *watched, int count)
{
    for (int i = 0; i < count; i++)
        if (watched[i] == w)
            return 1;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: mapwait PREFIX TIMEOUT_MS [unmap|span]\n");
        return 2;
    }
    int unmap = argc > 3 && strcmp(argv[3], "unmap") == 0;
    int span = argc > 3 && strcmp(argv[3], "span") == 0;
    const char *prefix = argv[1];
    long long deadline = now_ms() + atoll(argv[2]);
    Display *d = XOpenDisplay(NULL);
    if (!d)
        return 2;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    Window watched[MAX_WATCHED];
    int count = unmap ? mapped_windows(d, prefix, watched) : 0;
    if (unmap && count == 0) {
        XCloseDisplay(d);
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    struct pollfd pfd = {ConnectionNumber(d), POLLIN, 0};
    for (;;) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            int seen = unmap ? (ev.type == UnmapNotify && is_watched(ev.xunmap.window, watched, count)) ||
                                   (ev.type == DestroyNotify &&
                                    is_watched(ev.xdestroywindow.window, watched, count))
                             : ev.type == MapNotify && name_matches(d, ev.xmap.window, prefix);
            if (seen && span && !unmap) {
                printf("%lld\n", now_ms());
                fflush(stdout);
                watched[0] = ev.xmap.window;
                count = unmap = 1;
            } else if (seen) {
                printf("%lld\n", now_ms());
                XCloseDisplay(d);
                return 0;
            }
        }
        long long left = deadline - now_ms();
        if (left <= 0)
            break;
        poll(&pfd, 1, (int)left);
    }
    XCloseDisplay(d);
    return 1;
}

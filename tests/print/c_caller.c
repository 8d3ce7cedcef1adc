/*
 * An outside caller of the runtime library, written in C and knowing nothing
 * but zrk.h: loads libZRK.so by name, looks the entry points up and prints.
 *
 *   c_caller [-L FALLBACK] [-n TIMES] [-j THREADS] [-t] [-v] FORM DATA [CONTROL]
 *
 * -L  the library's full path, tried when loading by name fails
 * -n  call ZRK_Print this many times, unloading and loading the library
 *     between calls
 * -j  make each of those calls from this many threads at once
 * -t  report the time each call took
 * -v  call ZRK_View instead of ZRK_Print
 * A CONTROL of "-" passes NULL.
 *
 * Prints one line "ZRK_Print: N" (or "ZRK_View: N") per call, and exits 0
 * when the library and both entry points could be found, 3 when not (4 when
 * a thread cannot be started).
 */
#include "zrk.h"

#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static void* load(const char* fallback) {
    void* library = dlopen("libZRK.so", RTLD_NOW | RTLD_LOCAL);
    if (!library && fallback) {
        fprintf(stderr, "c_caller: by name: %s; trying %s\n", dlerror(), fallback);
        library = dlopen(fallback, RTLD_NOW | RTLD_LOCAL);
    }
    if (!library)
        fprintf(stderr, "c_caller: %s\n", dlerror());
    return library;
}

/* One call of an entry point; a thread runs one of these. */
struct Call {
    ZRK_PrintFunction print;
    ZRK_ViewFunction show;
    const char* form;
    const char* data;
    const char* control;
    int result;
};

static void* runCall(void* argument) {
    struct Call* call = argument;
    call->result = call->show ? call->show(0, call->form, call->data, call->control)
                              : call->print(0, call->form, call->data, call->control);
    return NULL;
}

enum { kMaxThreads = 64 };

static double seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    const char* fallback = NULL;
    int times = 1;
    int threads = 1;
    int timed = 0;
    int view = 0;
    int option;
    while ((option = getopt(argc, argv, "L:n:j:tv")) != -1) {
        switch (option) {
        case 'L':
            fallback = optarg;
            break;
        case 'n':
            times = atoi(optarg);
            break;
        case 'j':
            threads = atoi(optarg);
            break;
        case 't':
            timed = 1;
            break;
        case 'v':
            view = 1;
            break;
        default:
            return 2;
        }
    }
    if (argc - optind < 2 || times < 1 || threads < 1 || threads > kMaxThreads) {
        fprintf(stderr,
                "usage: c_caller [-L LIBRARY] [-n TIMES] [-j THREADS] [-t] [-v] FORM DATA [CONTROL]\n");
        return 2;
    }
    const char* form = argv[optind];
    const char* data = argv[optind + 1];
    const char* control = argc - optind > 2 ? argv[optind + 2] : NULL;
    if (control && strcmp(control, "-") == 0)
        control = NULL;

    for (int call = 0; call < times; ++call) {
        void* library = load(fallback);
        if (!library)
            return 3;
        ZRK_PrintFunction print = (ZRK_PrintFunction)dlsym(library, "ZRK_Print");
        ZRK_ViewFunction show = (ZRK_ViewFunction)dlsym(library, "ZRK_View");
        if (!print || !show) {
            fprintf(stderr, "c_caller: ZRK_Print %s, ZRK_View %s\n", print ? "found" : "missing",
                    show ? "found" : "missing");
            return 3;
        }
        struct Call calls[kMaxThreads];
        pthread_t running[kMaxThreads];
        const double start = seconds();
        for (int i = 0; i < threads; ++i) {
            const struct Call call = {print, view ? show : NULL, form, data, control, 0};
            calls[i] = call;
            if (threads == 1)
                runCall(&calls[i]);
            else if (pthread_create(&running[i], NULL, runCall, &calls[i]) != 0)
                return 4;
        }
        for (int i = 0; threads > 1 && i < threads; ++i)
            pthread_join(running[i], NULL);
        const double elapsed = seconds() - start;
        for (int i = 0; i < threads; ++i)
            printf("%s: %d\n", view ? "ZRK_View" : "ZRK_Print", calls[i].result);
        if (timed)
            printf("seconds: %.3f\n", elapsed);
        fflush(stdout);
        dlclose(library);
    }
    return 0;
}

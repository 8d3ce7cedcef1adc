/*
 * Read errors on demand, for the tests of what a job does when a file cannot
 * be read to its end. Defines read, pread and pread64 in front of the C
 * library's: loaded with LD_PRELOAD into a program, or linked into a test
 * program. Inactive unless told which file to fail:
 *
 *   ZRK_READ_FAIL_PATH   the file: the end of the path its descriptor names
 *   ZRK_READ_FAIL_AFTER  how many of its bytes are read before every read
 *                        fails with EIO, counted over all its descriptors
 *                        from the first read (0 when unset)
 *
 * Reads of every other file go straight through.
 *
 * A full disk, likewise: write is defined too, and fails with ENOSPC for
 * regular files below one folder once enough was written there.
 *
 *   ZRK_WRITE_FULL_UNDER  the folder ("/" for every file)
 *   ZRK_WRITE_FULL_AFTER  how many bytes the files below it take, all
 *                         together, before every write fails (0 when unset)
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static char counted[4096]; /* the file the count below belongs to */
static long long served;   /* its bytes read so far */

static int isFailingFile(int fd, const char* wanted) {
    char link[64];
    char path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return 0;
    path[length] = '\0';
    const size_t tail = strlen(wanted);
    return (size_t)length >= tail && strcmp(path + length - tail, wanted) == 0;
}

/* How many of `count` bytes of the file may be read now; -1 when the read
 * must fail, -2 when the file is not the one to fail. */
static long long allowance(int fd, size_t count) {
    const char* wanted = getenv("ZRK_READ_FAIL_PATH");
    if (!wanted || !*wanted || count == 0 || !isFailingFile(fd, wanted))
        return -2;
    const char* after = getenv("ZRK_READ_FAIL_AFTER");
    const long long budget = after ? atoll(after) : 0;
    pthread_mutex_lock(&lock);
    if (strncmp(counted, wanted, sizeof counted) != 0) {
        snprintf(counted, sizeof counted, "%s", wanted);
        served = 0;
    }
    const long long left = budget - served;
    pthread_mutex_unlock(&lock);
    if (left <= 0)
        return -1;
    return (long long)count < left ? (long long)count : left;
}

/* Starts the count again (for a test program that fails one file twice). */
void zrkReadFailReset(void) {
    pthread_mutex_lock(&lock);
    counted[0] = '\0';
    served = 0;
    pthread_mutex_unlock(&lock);
}

static void addServed(ssize_t got) {
    if (got <= 0)
        return;
    pthread_mutex_lock(&lock);
    served += got;
    pthread_mutex_unlock(&lock);
}

static void* next(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

ssize_t read(int fd, void* buffer, size_t count) {
    ssize_t (*real)(int, void*, size_t) = (ssize_t(*)(int, void*, size_t))next("read");
    const long long allowed = allowance(fd, count);
    if (allowed == -2)
        return real(fd, buffer, count);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    const ssize_t got = real(fd, buffer, (size_t)allowed);
    addServed(got);
    return got;
}

static ssize_t failingPread(const char* name, int fd, void* buffer, size_t count, off64_t offset) {
    ssize_t (*real)(int, void*, size_t, off64_t) = (ssize_t(*)(int, void*, size_t, off64_t))next(name);
    const long long allowed = allowance(fd, count);
    if (allowed == -2)
        return real(fd, buffer, count, offset);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    const ssize_t got = real(fd, buffer, (size_t)allowed, offset);
    addServed(got);
    return got;
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    return failingPread("pread", fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    return failingPread("pread64", fd, buffer, count, offset);
}

static long long written; /* bytes written below ZRK_WRITE_FULL_UNDER so far */

/* Whether the regular file behind fd lies below the folder. */
static int isBelow(int fd, const char* folder) {
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return 0;
    char link[64];
    char path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return 0;
    path[length] = '\0';
    size_t size = strlen(folder);
    while (size > 0 && folder[size - 1] == '/')
        --size;
    return strncmp(path, folder, size) == 0 && path[size] == '/';
}

ssize_t write(int fd, const void* buffer, size_t count) {
    ssize_t (*real)(int, const void*, size_t) = (ssize_t(*)(int, const void*, size_t))next("write");
    const char* folder = getenv("ZRK_WRITE_FULL_UNDER");
    if (!folder || !*folder || count == 0 || !isBelow(fd, folder))
        return real(fd, buffer, count);
    const char* after = getenv("ZRK_WRITE_FULL_AFTER");
    const long long budget = after ? atoll(after) : 0;
    pthread_mutex_lock(&lock);
    const long long left = budget - written;
    pthread_mutex_unlock(&lock);
    if (left <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t put = real(fd, buffer, (long long)count < left ? count : (size_t)left);
    if (put > 0) {
        pthread_mutex_lock(&lock);
        written += put;
        pthread_mutex_unlock(&lock);
    }
    return put;
}

/* Starts the count of written bytes again. */
void zrkWriteFullReset(void) {
    pthread_mutex_lock(&lock);
    written = 0;
    pthread_mutex_unlock(&lock);
}

/* Preloaded into the Wine process by the settings crash test (never into anything users run):
 * makes the save of the settings file slow enough to be killed at a chosen step. Writes to a file
 * named lumiseek.ini.tmp go out in pieces of 16 bytes, 5 ms apart; its flush and its close each
 * take 200 ms more (the close after the file is closed). Everything else is untouched. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

static int is_temporary(int fd) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return 0;
    path[n] = 0;
    const char *name = strrchr(path, '/');
    return name && strcmp(name + 1, "lumiseek.ini.tmp") == 0;
}

static void pause_ms(long ms) {
    struct timespec t = {0, ms * 1000000L};
    nanosleep(&t, NULL);
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void *data, size_t size) {
    if (!is_temporary(fd)) return REAL(write)(fd, data, size);
    size_t done = 0;
    while (done < size) {
        size_t piece = size - done < 16 ? size - done : 16;
        ssize_t n = REAL(write)(fd, (const char *)data + done, piece);
        if (n <= 0) return done ? (ssize_t)done : n;
        done += (size_t)n;
        pause_ms(5);
    }
    return (ssize_t)done;
}

ssize_t pwrite64(int fd, const void *data, size_t size, off_t offset) {
    if (!is_temporary(fd)) return REAL(pwrite64)(fd, data, size, offset);
    size_t done = 0;
    while (done < size) {
        size_t piece = size - done < 16 ? size - done : 16;
        ssize_t n = REAL(pwrite64)(fd, (const char *)data + done, piece, offset + (off_t)done);
        if (n <= 0) return done ? (ssize_t)done : n;
        done += (size_t)n;
        pause_ms(5);
    }
    return (ssize_t)done;
}

ssize_t pwrite(int fd, const void *data, size_t size, off_t offset) { return pwrite64(fd, data, size, offset); }

int fsync(int fd) {
    if (is_temporary(fd)) pause_ms(200);
    return REAL(fsync)(fd);
}

int fdatasync(int fd) {
    if (is_temporary(fd)) pause_ms(200);
    return REAL(fdatasync)(fd);
}

int close(int fd) {
    int slow = is_temporary(fd);
    int result = REAL(close)(fd);
    if (slow) pause_ms(200);
    return result;
}

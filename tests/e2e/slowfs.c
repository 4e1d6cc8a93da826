// SPDX-License-Identifier: MIT
// A slow medium for the end-to-end tests: the files of a folder, read-only, served at about
// 8 MiB/s, the speed of a slow stick. Killing it is pulling the stick: every read that follows
// fails. Usage: vortle-slowfs <folder> <mount point> -f
#define FUSE_USE_VERSION 26
#define _GNU_SOURCE

#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kBytesPerSecond = 8 << 20 };

static const char* g_folder;

static void backing(char* out, const char* path) {
    snprintf(out, PATH_MAX, "%s%s", g_folder, path);
}

static int slow_getattr(const char* path, struct stat* st) {
    char real[PATH_MAX];
    backing(real, path);
    return lstat(real, st) == 0 ? 0 : -errno;
}

static int slow_readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                        struct fuse_file_info* info) {
    (void)offset;
    (void)info;
    char real[PATH_MAX];
    backing(real, path);
    DIR* dir = opendir(real);
    if (!dir)
        return -errno;
    for (struct dirent* entry; (entry = readdir(dir));)
        fill(buffer, entry->d_name, NULL, 0);
    closedir(dir);
    return 0;
}

static int slow_open(const char* path, struct fuse_file_info* info) {
    if ((info->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    char real[PATH_MAX];
    backing(real, path);
    const int fd = open(real, O_RDONLY);
    if (fd < 0)
        return -errno;
    info->fh = (uint64_t)fd;
    return 0;
}

static int slow_read(const char* path, char* data, size_t size, off_t offset,
                     struct fuse_file_info* info) {
    (void)path;
    const ssize_t n = pread((int)info->fh, data, size, offset);
    if (n < 0)
        return -errno;
    const long nanoseconds = (long)((double)n / kBytesPerSecond * 1e9);
    const struct timespec pause = {nanoseconds / 1000000000L, nanoseconds % 1000000000L};
    nanosleep(&pause, NULL);
    return (int)n;
}

static int slow_release(const char* path, struct fuse_file_info* info) {
    (void)path;
    close((int)info->fh);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s <folder> <mount point> [fuse options]\n", argv[0]);
        return 2;
    }
    g_folder = argv[1];
    static const struct fuse_operations operations = {
        .getattr = slow_getattr,
        .open = slow_open,
        .read = slow_read,
        .release = slow_release,
        .readdir = slow_readdir,
    };
    argv[1] = argv[0];
    return fuse_main(argc - 1, argv + 1, &operations, NULL);
}

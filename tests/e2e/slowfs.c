// SPDX-License-Identifier: MIT
// A slow medium for the end-to-end tests: the files of a folder, read and written at about
// 8 MiB/s, the speed of a slow stick. Killing it is pulling the stick: every read and write that
// follows fails, and the folder keeps what reached the medium by then. With
// VORTLE_SLOWFS_STALL=<name>, the first look at an entry of that name never answers, and since
// the server answers one request at a time, nothing after it does: a dying diskette. Usage:
// vortle-slowfs <folder> <mount point> -f -s
#define FUSE_USE_VERSION 26
#define _GNU_SOURCE

#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

enum { kBytesPerSecond = 8 << 20 };

static const char* g_folder;

static void backing(char* out, const char* path) {
    snprintf(out, PATH_MAX, "%s%s", g_folder, path);
}

static int slow_getattr(const char* path, struct stat* st) {
    const char* stall = getenv("VORTLE_SLOWFS_STALL");
    const char* name = strrchr(path, '/');
    if (stall && name && strcmp(name + 1, stall) == 0)
        for (;;)
            pause();
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

static int opened(const char* path, int flags, mode_t mode, struct fuse_file_info* info) {
    char real[PATH_MAX];
    backing(real, path);
    const int fd = open(real, flags, mode);
    if (fd < 0)
        return -errno;
    info->fh = (uint64_t)fd;
    return 0;
}

static int slow_open(const char* path, struct fuse_file_info* info) {
    return opened(path, info->flags & ~O_CREAT, 0, info);
}

static int slow_create(const char* path, mode_t mode, struct fuse_file_info* info) {
    return opened(path, info->flags | O_CREAT, mode, info);
}

// Every byte takes its time, as on the stick.
static int slowly(ssize_t n) {
    if (n < 0)
        return -errno;
    const long nanoseconds = (long)((double)n / kBytesPerSecond * 1e9);
    const struct timespec pause = {nanoseconds / 1000000000L, nanoseconds % 1000000000L};
    nanosleep(&pause, NULL);
    return (int)n;
}

static int slow_read(const char* path, char* data, size_t size, off_t offset,
                     struct fuse_file_info* info) {
    (void)path;
    return slowly(pread((int)info->fh, data, size, offset));
}

static int slow_write(const char* path, const char* data, size_t size, off_t offset,
                      struct fuse_file_info* info) {
    (void)path;
    return slowly(pwrite((int)info->fh, data, size, offset));
}

static int slow_fsync(const char* path, int datasync, struct fuse_file_info* info) {
    (void)path;
    return (datasync ? fdatasync((int)info->fh) : fsync((int)info->fh)) == 0 ? 0 : -errno;
}

static int slow_truncate(const char* path, off_t size) {
    char real[PATH_MAX];
    backing(real, path);
    return truncate(real, size) == 0 ? 0 : -errno;
}

static int slow_unlink(const char* path) {
    char real[PATH_MAX];
    backing(real, path);
    return unlink(real) == 0 ? 0 : -errno;
}

static int slow_mkdir(const char* path, mode_t mode) {
    char real[PATH_MAX];
    backing(real, path);
    return mkdir(real, mode) == 0 ? 0 : -errno;
}

static int slow_chmod(const char* path, mode_t mode) {
    char real[PATH_MAX];
    backing(real, path);
    return chmod(real, mode) == 0 ? 0 : -errno;
}

static int slow_rename(const char* from, const char* to) {
    char realFrom[PATH_MAX], realTo[PATH_MAX];
    backing(realFrom, from);
    backing(realTo, to);
    return rename(realFrom, realTo) == 0 ? 0 : -errno;
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
        .mkdir = slow_mkdir,
        .unlink = slow_unlink,
        .rename = slow_rename,
        .chmod = slow_chmod,
        .truncate = slow_truncate,
        .open = slow_open,
        .read = slow_read,
        .write = slow_write,
        .release = slow_release,
        .fsync = slow_fsync,
        .readdir = slow_readdir,
        .create = slow_create,
    };
    argv[1] = argv[0];
    return fuse_main(argc - 1, argv + 1, &operations, NULL);
}

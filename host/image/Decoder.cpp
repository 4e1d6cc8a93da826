// SPDX-License-Identifier: MIT
#include "Decoder.h"

#include "Picture.h"

#include "host/core/Fd.h"
#include "host/core/Prefix.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace host {
namespace {

constexpr auto kWallLimit = std::chrono::seconds(2);
constexpr rlim_t kCpuSeconds = 1;
constexpr rlim_t kMemoryBytes = rlim_t(1) << 30;
constexpr qint64 kMaxInput = 4 << 20;
constexpr qint64 kMaxPixels = 4 << 20;

QString decoderPath() {
    // The tests, in the build tree, find it in bin/.
    static const QString path = [] {
        const QString found = installedFile({QStringLiteral("vortle-decode"),
                                             QStringLiteral("../lib/vortle/vortle-decode"),
                                             QStringLiteral("../bin/vortle-decode")});
        return QFileInfo(found).isExecutable() ? found : QString();
    }();
    return path;
}

// The child's standard input and output: files in memory, so that neither side waits on the
// other's reading.
UniqueFd memoryFile(const char* name) {
    return UniqueFd(::memfd_create(name, MFD_CLOEXEC));
}

// The decoder's exit, waited for until the wall-clock limit; killed after it.
bool ended(pid_t child) {
    const auto until = std::chrono::steady_clock::now() + kWallLimit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return false;
}

QImage readImage(int fd) {
    const off_t size = ::lseek(fd, 0, SEEK_END);
    quint32 header[2] = {};
    if (size < off_t(sizeof header) ||
        readFully(fd, reinterpret_cast<char*>(header), sizeof header, 0) != ssize_t(sizeof header))
        return {};
    const qint64 width = qFromLittleEndian(header[0]);
    const qint64 height = qFromLittleEndian(header[1]);
    if (width <= 0 || height <= 0 || width * height > kMaxPixels ||
        size != off_t(sizeof header + width * height * 4))
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        if (readFully(fd, reinterpret_cast<char*>(image.scanLine(y)), size_t(width * 4),
                      off_t(sizeof header + y * width * 4)) != width * 4)
            return {};
    return image;
}

} // namespace

QImage decodeApart(const QByteArray& bytes, int side) {
    const QString decoder = decoderPath();
    if (decoder.isEmpty())
        return decodePicture(bytes, side);
    const UniqueFd input = memoryFile("picture");
    const UniqueFd output = memoryFile("image");
    if (input.fd < 0 || output.fd < 0 ||
        !writeFully(input.fd, bytes.constData(), size_t(bytes.size()), 0))
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.fd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.fd, STDOUT_FILENO);
    const QByteArray program = QFile::encodeName(decoder);
    const QByteArray sideText = QByteArray::number(side);
    char* const argv[] = {const_cast<char*>(program.constData()),
                          const_cast<char*>(sideText.constData()), nullptr};
    pid_t child = -1;
    const int spawned =
        ::posix_spawn(&child, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0 || !ended(child))
        return {};
    return readImage(output.fd);
}

int runDecoder(int side) {
    // Limits of its own, whatever the picture asks for. (The address sanitizer reserves far
    // more address space than any limit would allow.)
    const rlimit cpu{kCpuSeconds, kCpuSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit memory{kMemoryBytes, kMemoryBytes};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
    QByteArray bytes(qsizetype(kMaxInput + 1), Qt::Uninitialized);
    const ssize_t n = readFully(STDIN_FILENO, bytes.data(), size_t(bytes.size()), 0);
    if (n < 0 || n > kMaxInput)
        return 1;
    bytes.truncate(n);
    const QImage image = decodePicture(bytes, side);
    if (image.isNull())
        return 1;
    const quint32 header[2] = {qToLittleEndian(quint32(image.width())),
                               qToLittleEndian(quint32(image.height()))};
    if (!writeFully(STDOUT_FILENO, reinterpret_cast<const char*>(header), sizeof header))
        return 1;
    for (int y = 0; y < image.height(); ++y)
        if (!writeFully(STDOUT_FILENO, reinterpret_cast<const char*>(image.constScanLine(y)),
                        size_t(image.width()) * 4))
            return 1;
    return 0;
}

} // namespace host

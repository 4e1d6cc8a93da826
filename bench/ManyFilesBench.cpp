// SPDX-License-Identifier: MIT
// Many small files, against one cp of them all followed by sync -f on the same file system: 101
// files replacing existing ones, 101 new files onto a FAT medium (a loop-mounted vfat image,
// where this process may mount one, else the image through fusefat), and "Delete a:\many\*.*" over
// 100,000 names against find -delete, with the peak memory of the deleting process above that of an
// idle one.
#include "Measure.h"

#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "module1/Module1.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kFiles = 101;
constexpr int kNames = 100000;
constexpr int kRounds = 5;

void makeSources(const QString& folder) {
    QDir().mkpath(folder);
    for (int i = 0; i < kFiles; ++i)
        writeRandomFile(folder + QStringLiteral("/f%1.bin").arg(i), 1474560, 7000 + i);
}

// Execute Link of 101 copies into `dosOut` against one cp into `hostOut`, each round starting
// from what `prepare` leaves.
double copiesAgainstCp(const char* what, const QString& sources, const QString& dosOut,
                       const QString& hostOut, const std::function<void()>& prepare) {
    writeBenchDiskette(
        "1", [](int i) { return QStringLiteral("a:\\src\\f%1.bin").arg(i); },
        [&](int i) { return dosOut + QStringLiteral("\\f%1.bin").arg(i); });
    const QList<double> times =
        mediansInTurnMs(kRounds, prepare,
                        {[] { Module1::ExecuteLink(); }, cpAndSync(sources + "/*", hostOut + "/")});
    const double engine = times[0], cp = times[1];
    std::printf("%-34s Execute Link %.1f ms, one cp + sync -f %.1f ms: %.2fx\n", what, engine, cp,
                engine / cp);
    return engine / cp;
}

// The peak resident memory of this program run with `arguments`, in KiB.
long peakKiB(const char* self, const char* argument) {
    pid_t child = 0;
    char* const argv[] = {const_cast<char*>(self), const_cast<char*>(argument), nullptr};
    if (::posix_spawn(&child, self, nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

void makeNames(const QString& folder) {
    QDir().mkpath(folder);
    const QByteArray base = QFile::encodeName(folder) + "/name";
    for (int i = 0; i < kNames; ++i)
        ::close(::open(base + QByteArray::number(i) + ".txt", O_CREAT | O_WRONLY, 0644));
}

// Replacing: the targets exist (from the round before) and are written over.
double replacingFiles(const QString& sources) {
    const QString out = host::toHostPath("c:\\") + "/out";
    QDir().mkpath(out);
    QProcess::execute("sh", {"-c", QStringLiteral("cp '%1'/* '%2'/").arg(sources, out)});
    return copiesAgainstCp("101 files replacing existing ones:", sources, "c:\\out", out, [] {});
}

double newFilesOnFat(const QString& sources) {
    // New files on FAT: the kernel's vfat on a loop device where one can be had, else the image
    // through fusefat (a FUSE server, as where the kernel has no vfat).
    double fat = 0;
    QTemporaryDir fatDir;
    const QString image = fatDir.path() + "/fat.img", mount = fatDir.path() + "/mnt";
    QDir().mkpath(mount);
    auto sh = [](const QString& command) { return QProcess::execute("sh", {"-c", command}) == 0; };
    const char* label = "101 new files onto FAT:";
    QString unmount;
    // Written out in full: in a sparse image, whichever run writes first would also pay for the
    // image's own blocks.
    const bool made =
        sh(QStringLiteral("dd if=/dev/zero of='%1' bs=1M count=320 status=none conv=fsync && "
                          "mkfs.fat -F 32 '%1' >/dev/null")
               .arg(image));
    if (made && sh(QStringLiteral("mount -o loop,uid=%3 '%1' '%2' 2>/dev/null")
                       .arg(image, mount)
                       .arg(::getuid()))) {
        unmount = "umount";
    } else if (made &&
               sh(QStringLiteral("fusefat -o rw+ '%1' '%2' >/dev/null 2>&1").arg(image, mount))) {
        unmount = "fusermount -u";
        label = "101 new files onto FAT (fusefat):";
    }
    if (!unmount.isEmpty()) {
        QFile::link(mount, host::dosDevicesPath() + "/d:");
        fat = copiesAgainstCp(label, sources, "d:\\out", mount + "/out", [&] {
            QDir(mount + "/out").removeRecursively();
            QDir().mkpath(mount + "/out");
        });
        sh(QStringLiteral("%1 '%2'").arg(unmount, mount));
    } else {
        std::puts(
            "101 new files onto FAT:            skipped (a FAT image cannot be mounted here)");
    }
    return fat;
}

// 100,000 names: the run in a process of its own, for its peak memory.
double deleteOverManyNames(const char* self, const QString& prefix) {
    const QString many = host::toHostPath("a:\\") + "/many";
    qputenv("VORTLE_MSGBOX_LOG", QFile::encodeName(prefix + "/boxes.log"));
    writeBenchDiskette(
        "0", [](int) { return QStringLiteral("c:\\made"); }, [](int) { return QString(); }, 1);
    const long idle = peakKiB(self, "--execute-link");
    writeBenchDiskette(
        "3", [](int) { return QStringLiteral("a:\\many\\*.*"); }, [](int) { return QString(); }, 1);
    long peak = 0;
    const QList<double> times = mediansInTurnMs(
        3, [&] { makeNames(many); },
        {[&] { peak = std::max(peak, peakKiB(self, "--execute-link")); },
         [&] {
             QProcess::execute("find", {many, "-maxdepth", "1", "-type", "f", "-delete"});
         }});
    const double deleting = times[0], find = times[1];
    std::printf("Delete over %d names:          %.1f ms, find -delete %.1f ms: %.2fx, "
                "peak %ld KiB above an idle run\n",
                kNames, deleting, find, deleting / find, peak - idle);
    return deleting / find;
}

} // namespace

double benchManyFiles(const char* self, const QString& only) {
    BenchPrefix prefix;
    const QString sources = host::toHostPath("a:\\") + "/src";
    makeSources(sources);
    auto part = [&](const char* name, const std::function<double()>& run) {
        return only.isEmpty() || only == QLatin1String(name) ? run() : 0.0;
    };
    const double replacing = part("replacing", [&] { return replacingFiles(sources); });
    const double fat = part("fat", [&] { return newFilesOnFat(sources); });
    const double deleting =
        part("delete", [&] { return deleteOverManyNames(self, prefix.path()); });
    std::printf("ratios: replacing %.2f, FAT %.2f, delete %.2f\n", replacing, fat, deleting);
    return deleting;
}

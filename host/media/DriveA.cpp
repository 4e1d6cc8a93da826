// SPDX-License-Identifier: MIT
#include "DriveA.h"

#include "UDisks.h"
#include "host/core/MountPoints.h"
#include "host/core/Prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <cstdio>
#include <unistd.h>

namespace host::DriveA {
namespace {

QSettings configuration() {
    return QSettings(configurationPath(), QSettings::IniFormat);
}

// Replaces the link in one step (a new link beside it, renamed over it), so that other
// programs never see drive A: missing.
bool relink(const QString& linkTarget) {
    const QString entry = driveEntryPath(QLatin1Char('a'));
    if (target() == linkTarget)
        return false;
    const QString beside = entry + QStringLiteral(".new");
    QFile::remove(beside);
    if (!QFile::link(linkTarget, beside))
        return false;
    return std::rename(QFile::encodeName(beside).constData(),
                       QFile::encodeName(entry).constData()) == 0;
}

// The image this run attached: through udisks2 (its loop device), or through fusefat on a
// folder of the prefix (no block).
std::optional<UDisks::AttachedImage> g_attachedImage;

// Whether a file starts with a FAT boot sector: the closing signature, and a FAT type name
// or a plausible sector size and media byte (fusefat would mount anything and fail later).
bool looksLikeFat(const QString& hostImage) {
    QFile image(hostImage);
    if (!image.open(QIODevice::ReadOnly))
        return false;
    const QByteArray boot = image.read(512);
    if (boot.size() < 512 || quint8(boot[510]) != 0x55 || quint8(boot[511]) != 0xAA)
        return false;
    if (boot.mid(54, 3) == "FAT" || boot.mid(82, 3) == "FAT")
        return true;
    const int sectorSize = quint8(boot[11]) | quint8(boot[12]) << 8;
    return (sectorSize == 512 || sectorSize == 1024 || sectorSize == 2048 || sectorSize == 4096) &&
           quint8(boot[21]) >= 0xF0;
}

// Runs a helper to its end; false when it cannot start, fails or hangs.
bool runHelper(const QString& program, const QStringList& arguments) {
    QProcess helper;
    helper.start(program, arguments);
    if (!helper.waitForFinished(10000)) {
        helper.kill();
        helper.waitForFinished();
        return false;
    }
    return helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
}

} // namespace

Mode mode() {
    return configuration().value(QStringLiteral("DriveA/mode")).toString() ==
                   QLatin1String("follow")
               ? Mode::Follow
               : Mode::Fixed;
}

void setMode(Mode mode) {
    QSettings settings = configuration();
    settings.setValue(QStringLiteral("DriveA/mode"),
                      mode == Mode::Follow ? QStringLiteral("follow") : QStringLiteral("fixed"));
}

QString target() {
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(driveEntryPath(QLatin1Char('a'))).constData(),
                                 buffer, sizeof buffer);
    return n > 0 ? QFile::decodeName(QByteArray(buffer, int(n))) : QString();
}

void pointAt(const QString& hostFolder) {
    relink(hostFolder);
}

QList<RemovableVolume> removableVolumes() {
    return UDisks::mountedVolumes().value_or(mountedRemovableVolumes());
}

bool follow() {
    const QList<RemovableVolume> volumes = removableVolumes();
    return relink(volumes.isEmpty() ? QStringLiteral("../no-medium") : volumes.last().mountPoint);
}

} // namespace host::DriveA

namespace host::DriveA {

QString imageUser(const QString& hostImage) {
    const QString image = QFileInfo(hostImage).canonicalFilePath();
    if (image.isEmpty())
        return {};
    // A loop device's backing file, as the kernel names it.
    const QFileInfoList loops =
        QDir(QStringLiteral("/sys/block")).entryInfoList({QStringLiteral("loop*")}, QDir::Dirs);
    for (const QFileInfo& loop : loops) {
        QFile backing(loop.filePath() + QStringLiteral("/loop/backing_file"));
        if (backing.open(QIODevice::ReadOnly) &&
            QFileInfo(QString::fromLocal8Bit(backing.readAll().trimmed())).canonicalFilePath() ==
                image)
            return QStringLiteral("/dev/") + loop.fileName();
    }
    // A fusefat that serves it: its command line names the image and then the mount point,
    // which is mounted still (one whose mount is gone is only ending).
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : processes) {
        QFile cmdline(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        if (!pid.front().isDigit() || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = cmdline.readAll().split('\0');
        if (arguments.isEmpty() || !arguments.first().endsWith("fusefat"))
            continue;
        for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
            const QString mountPoint = QFile::decodeName(arguments[i + 1]);
            if (QFileInfo(QFile::decodeName(arguments[i])).canonicalFilePath() == image &&
                isMounted(QFileInfo(mountPoint).canonicalFilePath()))
                return mountPoint;
        }
    }
    return {};
}

ImageAttachment attachImage(const QString& hostImage) {
    using Outcome = ImageAttachment::Outcome;
    if (!QFileInfo(hostImage).isFile() || !looksLikeFat(hostImage))
        return {};
    detachImage();
    if (const QString user = imageUser(hostImage); !user.isEmpty())
        return {Outcome::InUse, user};
    if (std::optional<UDisks::AttachedImage> attached = UDisks::attachImage(hostImage)) {
        g_attachedImage = std::move(attached);
        setMode(Mode::Fixed);
        pointAt(g_attachedImage->mountPoint);
        return {Outcome::Attached, {}};
    }
    // Without udisks2, or refused by it: fusefat, for reading only.
    const QString mountPoint = prefixPath() + QStringLiteral("/diskette-image");
    QDir().mkpath(mountPoint);
    runHelper(QStringLiteral("fusermount"), {QStringLiteral("-u"), mountPoint}); // a stale one
    if (!runHelper(QStringLiteral("fusefat"),
                   {QStringLiteral("-o"), QStringLiteral("ro"), hostImage, mountPoint}) ||
        !isMounted(QFileInfo(mountPoint).canonicalFilePath()))
        return {};
    g_attachedImage = UDisks::AttachedImage{QString(), mountPoint};
    setMode(Mode::Fixed);
    pointAt(mountPoint);
    return {Outcome::ReadOnly, {}};
}

void detachImage() {
    if (!g_attachedImage)
        return;
    if (!g_attachedImage->block.isEmpty())
        UDisks::detachImage(*g_attachedImage);
    else
        runHelper(QStringLiteral("fusermount"),
                  {QStringLiteral("-u"), g_attachedImage->mountPoint});
    g_attachedImage.reset();
}

} // namespace host::DriveA

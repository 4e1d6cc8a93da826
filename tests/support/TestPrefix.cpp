// SPDX-License-Identifier: MIT
#include "TestPrefix.h"

#include "host/core/Prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/mount.h>

TestPrefix::TestPrefix()
    : m_oldHome(qgetenv("HOME")), m_oldData(qgetenv("XDG_DATA_HOME")),
      m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
    QDir().mkpath(m_dir.path() + QStringLiteral("/home"));
    QDir::setCurrent(m_dir.path());
    // The desktop's disk service stays out of the tests unless one starts its own.
    qputenv("VORTLE_UDISKS_BUS", "none");
    host::ensurePrefix();
}

TestPrefix::~TestPrefix() {
    QDir::setCurrent(QDir::tempPath());
    qputenv("HOME", m_oldHome);
    qputenv("XDG_DATA_HOME", m_oldData);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

QString TestPrefix::prefix() const {
    return host::prefixPath();
}
QString TestPrefix::driveA() const {
    return prefix() + QStringLiteral("/drive_a");
}
QString TestPrefix::driveC() const {
    return prefix() + QStringLiteral("/drive_c");
}

void TestPrefix::pointDrive(QChar letter, const QString& target) const {
    removeDrive(letter);
    QFile::link(target, host::driveEntryPath(letter));
}

void TestPrefix::removeDrive(QChar letter) const {
    QFile::remove(host::driveEntryPath(letter));
}

QString TestPrefix::writeHostFile(const QString& relativePath, const QByteArray& contents) const {
    const QString path = m_dir.path() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
    return path;
}

QByteArray TestPrefix::readHostFile(const QString& hostPath) const {
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TmpfsMount::TmpfsMount(const QString& path, bool readOnly, int sizeKiB) : m_path(path) {
    QDir().mkpath(path);
    const QByteArray options = "size=" + QByteArray::number(sizeKiB) + "k";
    m_mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs",
                        readOnly ? MS_RDONLY : 0, options.constData()) == 0;
}

TmpfsMount::~TmpfsMount() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

bool TmpfsMount::makeReadOnly() {
    return m_mounted && ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs",
                                MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

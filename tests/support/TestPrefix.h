// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary prefix for one test: XDG_DATA_HOME, XDG_CONFIG_HOME and HOME point into a new
// folder, and the prefix's drives and folders are created as on a first start.
class TestPrefix {
public:
    TestPrefix();
    ~TestPrefix();
    TestPrefix(const TestPrefix&) = delete;
    TestPrefix& operator=(const TestPrefix&) = delete;

    QString root() const { return m_dir.path(); }
    QString prefix() const;
    QString driveA() const; // host folder behind a:
    QString driveC() const; // host folder behind c:

    // Points the drive's link at a host path (replacing the link), or removes it.
    void pointDrive(QChar letter, const QString& target) const;
    void removeDrive(QChar letter) const;

    // Writes a host file below the temporary folder, creating its directories.
    QString writeHostFile(const QString& relativePath, const QByteArray& contents) const;
    QByteArray readHostFile(const QString& hostPath) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldData;
    QByteArray m_oldConfig;
};

// A small tmpfs mounted on a folder; read-only or size-limited. Unavailable (and the test
// skips) where the process may not mount.
class TmpfsMount {
public:
    TmpfsMount(const QString& path, bool readOnly, int sizeKiB = 512);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool isMounted() const { return m_mounted; }
    const QString& path() const { return m_path; }
    // Remounts read-only (the contents stay).
    bool makeReadOnly();

private:
    QString m_path;
    bool m_mounted = false;
};

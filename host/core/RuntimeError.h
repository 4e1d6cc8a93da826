// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>

namespace host {

// The platform's run-time error numbers that this system raises or tells apart.
enum ErrorNumber : int {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrTypeMismatch = 13,
    ErrInternal = 51,
    ErrBadFileNameOrNumber = 52,
    ErrFileNotFound = 53,
    ErrFileAlreadyOpen = 55,
    ErrFileAlreadyExists = 58,
    ErrBadRecordLength = 59,
    ErrDiskFull = 61,
    ErrBadRecordNumber = 63,
    ErrTooManyFiles = 67,
    ErrDeviceUnavailable = 68,
    ErrPermissionDenied = 70,
    ErrDiskNotReady = 71,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrInvalidPicture = 481,
};

// The platform's description of a run-time error number ("File not found").
QString errorDescription(int number);

// A run-time error: the one exception type that every failing platform call throws.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

[[noreturn]] void raise(int number);

// Error-resume mode: a step that fails with a run-time error is skipped without a message,
// and the next step runs.
template <typename Step> void resumeNext(Step&& step) {
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

// The one table that turns a host errno into a run-time error number.
int errorFromErrno(int err);
[[noreturn]] void raiseErrno(int err);

} // namespace host

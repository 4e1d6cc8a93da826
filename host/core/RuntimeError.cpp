// SPDX-License-Identifier: MIT
#include "RuntimeError.h"

#include <QLoggingCategory>

#include <cerrno>
#include <cstring>

namespace host {
namespace {
Q_LOGGING_CATEGORY(lcErrors, "vortle.host.errors")
}

QString errorDescription(int number) {
    switch (number) {
    case ErrInvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow:
        return QStringLiteral("Overflow");
    case ErrOutOfMemory:
        return QStringLiteral("Out of memory");
    case ErrInternal:
        return QStringLiteral("Internal error");
    case ErrTypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrBadFileNameOrNumber:
        return QStringLiteral("Bad file name or number");
    case ErrFileNotFound:
        return QStringLiteral("File not found");
    case ErrFileAlreadyOpen:
        return QStringLiteral("File already open");
    case ErrFileAlreadyExists:
        return QStringLiteral("File already exists");
    case ErrBadRecordLength:
        return QStringLiteral("Bad record length");
    case ErrDiskFull:
        return QStringLiteral("Disk full");
    case ErrBadRecordNumber:
        return QStringLiteral("Bad record number");
    case ErrTooManyFiles:
        return QStringLiteral("Too many files");
    case ErrDeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case ErrPermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrDiskNotReady:
        return QStringLiteral("Disk not ready");
    case ErrPathFileAccess:
        return QStringLiteral("Path/File access error");
    case ErrPathNotFound:
        return QStringLiteral("Path not found");
    case ErrInvalidPicture:
        return QStringLiteral("Invalid picture");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Run-time error %1: %2").arg(number).arg(m_description).toUtf8()) {}

void raise(int number) {
    throw RuntimeError(number);
}

int errorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return ErrFileNotFound;
    case ENOTDIR:
        return ErrPathNotFound;
    case EEXIST:
    case ENOTEMPTY:
        return ErrPathFileAccess;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrPermissionDenied;
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
    case ELOOP:
    case EXDEV:
        return ErrPathFileAccess;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrDiskFull;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return ErrBadFileNameOrNumber;
    case EMFILE:
    case ENFILE:
        return ErrBadFileNameOrNumber;
    case ENXIO:
    case ENODEV:
        return ErrDeviceUnavailable;
    case EIO:
    case ENOMEDIUM:
    case ESTALE:
    case ENOTCONN:
        return ErrDiskNotReady;
    default:
        // Worth knowing when a medium fails in a way the table does not name yet.
        qCWarning(lcErrors, "errno %d (%s) has no error number of its own; taken as 75", err,
                  std::strerror(err));
        return ErrPathFileAccess;
    }
}

void raiseErrno(int err) {
    raise(errorFromErrno(err));
}

} // namespace host

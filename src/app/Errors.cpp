#include "app/Errors.h"

#include <cerrno>

QString IoErrorText(int err) {
    switch (err) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENOTDIR:
        return QStringLiteral("Path not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    default:
        return QStringLiteral("I/O error %1").arg(err);
    }
}

#include "persistence/AtomicFile.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ResolveTarget(const QByteArray &path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.constData(), buf))
            return buf;
    }
    return path.toStdString();
}

int WriteAll(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

} // namespace

int WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    const std::string target = ResolveTarget(QFile::encodeName(path));
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return EISDIR;

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return errno;
    // Keep the permissions a file made the ordinary way would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    int err = WriteAll(fd, bytes.constData(), size_t(bytes.size()));
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(temp.c_str());
    return err;
}

#include "persistence/AtomicFile.h"

#include <QFile>
#include <atomic>
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

// Writes the bytes into a file that has no name yet (O_TMPFILE) in the
// target's folder and names it only once it is complete and synced: a kill
// in the middle leaves nothing behind, where a named temporary file would
// stay in the user's folder, half written. Returns -1 where the system
// offers no such files (then nothing has happened), else 0 or the errno.
constexpr int kNoNamelessFiles = -1;

int WriteNamelessFirst(const std::string &target, const QByteArray &bytes) {
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : target.substr(0, slash == 0 ? 1 : slash);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return kNoNamelessFiles;
    int err = WriteAll(fd, bytes.constData(), size_t(bytes.size()));
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    // The link needs a free name; a kill between it and the rename leaves a
    // complete copy under that name.
    std::string temp;
    bool linked = false;
    if (err == 0) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        static std::atomic<unsigned> serial{0};
        for (int attempt = 0; attempt < 100 && !linked; ++attempt) {
            temp = target + ".tmp" + std::to_string(::getpid()) + '-' + std::to_string(serial++);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
                linked = true;
            else if (errno != EEXIST)
                break;
        }
        if (!linked) {
            // Without /proc the file cannot be named; write it the other way.
            ::close(fd);
            return kNoNamelessFiles;
        }
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0 && linked)
        ::unlink(temp.c_str());
    return err;
}

} // namespace

int WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    const std::string target = ResolveTarget(QFile::encodeName(path));
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return EISDIR;

    if (const int err = WriteNamelessFirst(target, bytes); err != kNoNamelessFiles)
        return err;

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

#include "playlist/Playable.h"

#include <QFile>
#include <sys/stat.h>

bool IsLink(const QString &entry) {
    return entry.startsWith(QLatin1String("http:"));
}

bool FileExists(const QString &path) {
    if (path.isEmpty())
        return false;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

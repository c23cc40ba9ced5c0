#include "persistence/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace DocumentsFolder {

QString Path() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    // A failure here (a file in the way, no permission) shows up as the
    // error of the first file operation in that folder.
    QDir().mkpath(dir);
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

QString FilePath(const QString &fileName) {
    return Path() + QLatin1Char('/') + fileName;
}

} // namespace DocumentsFolder

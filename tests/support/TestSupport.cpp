#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

QString TestHome() {
    return QDir::homePath();
}

QString TestDocuments() {
    const QString docs = TestHome() + QStringLiteral("/Documents");
    QDir().mkpath(docs);
    return docs;
}

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

#include "persistence/PlaylistFile.h"

#include "app/Errors.h"
#include "persistence/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <cstring>

namespace PlaylistFile {

QString FileName() {
    return QStringLiteral("Velpa.Player.listbox.ini");
}

const QString kSampleEntry = QStringLiteral(
    "http://commondatastorage.googleapis.com/gtv-videos-bucket/sample/ForBiggerBlazes.mp4");

namespace {

const char kBomUtf8[] = "\xEF\xBB\xBF";
const char kBomUtf16LE[] = "\xFF\xFE";
const char kBomUtf16BE[] = "\xFE\xFF";

QStringList SplitLines(const QString &text) {
    QStringList lines;
    const QChar *p = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(QString(p + start, i - start));
        if (c == u'\r' && i + 1 < n && p[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(QString(p + start, n - start));
    return lines;
}

} // namespace

Decoded Decode(const QByteArray &bytes) {
    Decoded d;
    QByteArrayView body(bytes);
    QString text;
    if (body.startsWith(QByteArrayView(kBomUtf8, 3))) {
        d.encoding = TextEncoding::Utf8Bom;
        text = QString::fromUtf8(body.sliced(3));
    } else if (body.startsWith(QByteArrayView(kBomUtf16LE, 2))) {
        d.encoding = TextEncoding::Utf16LE;
        QStringDecoder dec(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        text = dec(body.sliced(2));
    } else if (body.startsWith(QByteArrayView(kBomUtf16BE, 2))) {
        d.encoding = TextEncoding::Utf16BE;
        QStringDecoder dec(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        text = dec(body.sliced(2));
    } else {
        QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = dec(body);
        if (dec.hasError()) {
            d.encoding = TextEncoding::Latin1;
            text = QString::fromLatin1(body);
        }
    }
    d.entries = SplitLines(text);
    return d;
}

QByteArray Encode(const QStringList &entries, TextEncoding encoding) {
    QString text;
    qsizetype total = 0;
    for (const QString &e : entries)
        total += e.size() + 2;
    text.reserve(total);
    for (const QString &e : entries) {
        text += e;
        text += QLatin1String("\r\n");
    }
    switch (encoding) {
    case TextEncoding::Plain:
        return text.toUtf8();
    case TextEncoding::Latin1:
        return text.toLatin1();
    case TextEncoding::Utf8Bom:
        return QByteArray(kBomUtf8, 3) + text.toUtf8();
    case TextEncoding::Utf16LE: {
        QStringEncoder enc(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return QByteArray(kBomUtf16LE, 2) + QByteArray(enc(text));
    }
    case TextEncoding::Utf16BE: {
        QStringEncoder enc(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        return QByteArray(kBomUtf16BE, 2) + QByteArray(enc(text));
    }
    }
    return {};
}

Decoded Load(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    }
    return Decode(bytes);
}

void Save(const QString &path, const QStringList &entries, TextEncoding encoding) {
    const int err = WriteFileAtomically(path, Encode(entries, encoding));
    if (err != 0) {
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(err))));
    }
}

void WriteSample(const QString &path) {
    const int err = WriteFileAtomically(path, kSampleEntry.toUtf8() + "\r\n");
    if (err != 0)
        throw AppError(IoErrorText(err));
}

} // namespace PlaylistFile

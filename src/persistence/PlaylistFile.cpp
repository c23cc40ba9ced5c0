#include "persistence/PlaylistFile.h"

#include "app/Errors.h"
#include "persistence/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The decoders see the text behind the mark. By default they (and
// QString::fromUtf8) would take a second mark there for one more and drop it,
// which a save would not write back.
constexpr QStringConverter::Flags kBodyFlags =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// The first CR or LF at or after i, or n. A million-line file is mostly
// line text, so the search runs eight units at a time.
qsizetype LineEnd(const char16_t *p, qsizetype i, qsizetype n) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i lf = _mm_set1_epi16(u'\n');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf)));
        if (hits)
            return i + __builtin_ctz(unsigned(hits)) / 2;
    }
#endif
    for (; i < n; ++i)
        if (p[i] == u'\r' || p[i] == u'\n')
            return i;
    return n;
}

qsizetype LineEnd(const char *p, qsizetype i, qsizetype n) {
    for (; i < n; ++i)
        if (p[i] == '\r' || p[i] == '\n')
            return i;
    return n;
}

// Splits at CR LF, a lone CR or a lone LF; a line end at the very end adds no
// empty line. T is char16_t for decoded text, char for Latin-1 bytes.
template <class T, class View> EntryList SplitLines(const T *p, qsizetype n) {
    EntryList lines;
    lines.reserve(0, n);
    qsizetype start = 0;
    for (;;) {
        const qsizetype i = LineEnd(p, start, n);
        if (i == n)
            break;
        lines.append(View(p + start, i - start));
        start = i + (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n' ? 2 : 1);
    }
    if (start < n)
        lines.append(View(p + start, n - start));
    return lines;
}

// A buffer from AllocateLarge, not initialised: a file's bytes or its text
// while it loads.
template <class T> class Scratch {
public:
    explicit Scratch(qsizetype n)
        : m_bytes(size_t(std::max<qsizetype>(n, 1)) * sizeof(T)),
          m_data(static_cast<T *>(AllocateLarge(m_bytes))) {}
    ~Scratch() { FreeLarge(m_data, m_bytes); }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    T *data() const { return m_data; }

private:
    size_t m_bytes;
    T *m_data;
};

// The decoder's text goes into a buffer of the list's own kind instead of a
// QString: the same conversion (QStringDecoder's operator() is
// appendToBuffer into a fresh QString), without a second copy in small pages.
EntryList DecodeLines(QStringDecoder &dec, QByteArrayView in) {
    Scratch<char16_t> text(dec.requiredSpace(in.size()));
    QChar *begin = reinterpret_cast<QChar *>(text.data());
    const QChar *end = dec.appendToBuffer(begin, in);
    return SplitLines<char16_t, QStringView>(text.data(), end - begin);
}

[[noreturn]] void CannotOpen(const QString &path, const QString &reason) {
    throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

void WriteAll(const QString &path, const QByteArray &bytes) {
    const int err = WriteFileAtomically(path, bytes);
    if (err != 0) {
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(err))));
    }
}

} // namespace

Decoded Decode(const QByteArray &bytes) {
    DecodedList list = DecodeList(bytes);
    return {list.entries.toStringList(), list.encoding};
}

DecodedList DecodeList(const QByteArray &bytes) {
    return DecodeList(QByteArrayView(bytes));
}

DecodedList DecodeList(QByteArrayView body) {
    DecodedList d;
    if (body.startsWith(QByteArrayView(kBomUtf8, 3))) {
        d.encoding = TextEncoding::Utf8Bom;
        QStringDecoder dec(QStringConverter::Utf8, kBodyFlags);
        d.entries = DecodeLines(dec, body.sliced(3));
    } else if (body.startsWith(QByteArrayView(kBomUtf16LE, 2))) {
        d.encoding = TextEncoding::Utf16LE;
        QStringDecoder dec(QStringConverter::Utf16LE, kBodyFlags);
        d.entries = DecodeLines(dec, body.sliced(2));
    } else if (body.startsWith(QByteArrayView(kBomUtf16BE, 2))) {
        d.encoding = TextEncoding::Utf16BE;
        QStringDecoder dec(QStringConverter::Utf16BE, kBodyFlags);
        d.entries = DecodeLines(dec, body.sliced(2));
    } else {
        QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        d.entries = DecodeLines(dec, body);
        if (dec.hasError()) {
            // Latin-1 maps every byte to the character of its value.
            d.encoding = TextEncoding::Latin1;
            d.entries = SplitLines<char, QLatin1StringView>(body.data(), body.size());
        }
    }
    return d;
}

QByteArray Encode(const QStringList &entries, TextEncoding encoding) {
    return EncodeList(EntryList(entries), encoding);
}

// Every entry followed by CR LF, in the encoding, after its byte-order mark.
// Entries with characters beyond U+00FF go through the converter a piece at a
// time instead of all at once: a piece always ends with a line end, so no
// character pair is cut and the bytes are the same, while a million entries
// never stand as one QString beside their bytes.
QByteArray EncodeList(const EntryList &entries, TextEncoding encoding) {
    QByteArray out;
    qsizetype units = 0;
    for (qsizetype i = 0; i < entries.size(); ++i)
        units += entries.view(i).size + 2;
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    out.reserve(3 + (utf16 ? 2 * units : units + units / 4));
    if (encoding == TextEncoding::Utf8Bom)
        out.append(kBomUtf8, 3);
    else if (encoding == TextEncoding::Utf16LE)
        out.append(kBomUtf16LE, 2);
    else if (encoding == TextEncoding::Utf16BE)
        out.append(kBomUtf16BE, 2);
    QStringEncoder enc16(encoding == TextEncoding::Utf16BE ? QStringConverter::Utf16BE
                                                           : QStringConverter::Utf16LE,
                         QStringConverter::Flag::Stateless);
    auto convert = [&](const QString &piece) {
        switch (encoding) {
        case TextEncoding::Plain:
        case TextEncoding::Utf8Bom:
            out += piece.toUtf8();
            break;
        case TextEncoding::Latin1:
            out += piece.toLatin1();
            break;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE:
            out += QByteArray(enc16(piece));
            break;
        }
    };
    // An entry of characters below U+0100 (most of them) is written straight
    // from its bytes: what every one of these encodings makes of such a
    // character is fixed.
    auto appendNarrow = [&](QLatin1StringView e) {
        const auto *p = reinterpret_cast<const unsigned char *>(e.data());
        const qsizetype n = e.size();
        switch (encoding) {
        case TextEncoding::Latin1:
            out.append(e.data(), n);
            out.append("\r\n", 2);
            return;
        case TextEncoding::Plain:
        case TextEncoding::Utf8Bom:
            for (qsizetype i = 0; i < n; ++i) {
                if (p[i] < 0x80) {
                    out.append(char(p[i]));
                } else {
                    out.append(char(0xC0 | (p[i] >> 6)));
                    out.append(char(0x80 | (p[i] & 0x3F)));
                }
            }
            out.append("\r\n", 2);
            return;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const bool le = encoding == TextEncoding::Utf16LE;
            const qsizetype at = out.size();
            out.resize(at + 2 * (n + 2));
            char *q = out.data() + at;
            auto unit = [&](unsigned char c) {
                *q++ = le ? char(c) : '\0';
                *q++ = le ? '\0' : char(c);
            };
            for (qsizetype i = 0; i < n; ++i)
                unit(p[i]);
            unit('\r');
            unit('\n');
            return;
        }
        }
    };
    constexpr qsizetype kPiece = 1 << 16;
    QString piece;
    piece.reserve(kPiece + 256);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const EntryList::View e = entries.view(i);
        if (!e.wide) {
            if (!piece.isEmpty()) {
                convert(piece);
                piece.resize(0);
            }
            appendNarrow(e.latin1());
            continue;
        }
        piece += e.utf16();
        piece += QLatin1String("\r\n");
        if (piece.size() >= kPiece) {
            convert(piece);
            piece.resize(0);
        }
    }
    if (!piece.isEmpty())
        convert(piece);
    return out;
}

Decoded Load(const QString &path) {
    DecodedList list = LoadList(path);
    return {list.entries.toStringList(), list.encoding};
}

// A regular file's bytes go into a buffer of the list's own kind; anything
// else (a pipe, a file that grows meanwhile) is read as Load reads it.
DecodedList LoadList(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        CannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
    const qint64 size = f.isSequential() ? 0 : f.size();
    if (size > 0) {
        Scratch<char> bytes(size);
        qint64 got = 0;
        while (got < size) {
            const qint64 n = f.read(bytes.data() + got, size - got);
            if (n <= 0)
                break;
            got += n;
        }
        if (f.error() != QFileDevice::NoError)
            CannotOpen(path, f.errorString());
        if (got == size && f.atEnd())
            return DecodeList(QByteArrayView(bytes.data(), size));
        f.seek(0);
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        CannotOpen(path, f.errorString());
    return DecodeList(bytes);
}

void Save(const QString &path, const QStringList &entries, TextEncoding encoding) {
    WriteAll(path, Encode(entries, encoding));
}

void SaveList(const QString &path, const EntryList &entries, TextEncoding encoding) {
    WriteAll(path, EncodeList(entries, encoding));
}

void WriteSample(const QString &path) {
    const int err = WriteFileAtomically(path, kSampleEntry.toUtf8() + "\r\n");
    if (err != 0)
        throw AppError(IoErrorText(err));
}

} // namespace PlaylistFile

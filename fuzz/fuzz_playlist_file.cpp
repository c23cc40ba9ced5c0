// The playlist file decoder and encoder: byte-order marks, encodings and line
// splitting. Whatever a playlist file holds, loading it and saving the list
// again keeps every entry as it was; only the line ends become CR LF. The
// packed list (EntryList) the playlist keeps gives the same as a string list.
#include "FuzzCheck.h"
#include "persistence/PlaylistFile.h"

#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using Units = std::vector<char16_t>;

// The same lines with CR LF after each: what a save must write back. Works
// on code units, so it never decodes anything the way the decoder does.
Units NormalizedLineEnds(const Units &in) {
    Units out;
    bool lineOpen = false;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'\r' || in[i] == u'\n') {
            if (in[i] == u'\r' && i + 1 < in.size() && in[i + 1] == u'\n')
                ++i;
            out.push_back(u'\r');
            out.push_back(u'\n');
            lineOpen = false;
        } else {
            out.push_back(in[i]);
            lineOpen = true;
        }
    }
    if (lineOpen) {
        out.push_back(u'\r');
        out.push_back(u'\n');
    }
    return out;
}

Units ByteUnits(QByteArrayView bytes) {
    Units units;
    for (const char c : bytes)
        units.push_back(char16_t(static_cast<unsigned char>(c)));
    return units;
}

QByteArray FromByteUnits(const Units &units) {
    QByteArray out;
    for (const char16_t u : units)
        out += char(u);
    return out;
}

bool BigEndian(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16BE;
}

Units WideUnits(QByteArrayView bytes, bool bigEndian) {
    Units units;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return units;
}

QByteArray FromWideUnits(const Units &units, bool bigEndian) {
    QByteArray out;
    for (const char16_t u : units) {
        const char high = char(u >> 8), low = char(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

bool HasLoneSurrogate(const char16_t *p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (QChar::isHighSurrogate(p[i])) {
            if (i + 1 == n || !QChar::isLowSurrogate(p[i + 1]))
                return true;
            ++i;
        } else if (QChar::isLowSurrogate(p[i])) {
            return true;
        }
    }
    return false;
}

bool ValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

bool StartsWithMark(QByteArrayView bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

// The bytes a save of the loaded list must write; null when the file's bytes
// cannot be kept (broken UTF-8 behind a UTF-8 mark, broken UTF-16), where
// only the entries themselves are compared.
QByteArray ExpectedSave(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Plain:
    case TextEncoding::Latin1:
        return FromByteUnits(NormalizedLineEnds(ByteUnits(bytes)));
    case TextEncoding::Utf8Bom: {
        const QByteArrayView body = bytes.sliced(3);
        if (!ValidUtf8(body))
            return {};
        return QByteArray("\xEF\xBB\xBF") + FromByteUnits(NormalizedLineEnds(ByteUnits(body)));
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const QByteArrayView body = bytes.sliced(2);
        const Units units = WideUnits(body, BigEndian(encoding));
        if (body.size() % 2 != 0 || HasLoneSurrogate(units.data(), units.size()))
            return {};
        return bytes.first(2).toByteArray() +
               FromWideUnits(NormalizedLineEnds(units), BigEndian(encoding));
    }
    }
    return {};
}

// Whether a list can be written in the encoding and read back unchanged. A
// file without a mark cannot begin with one, and Latin-1 bytes that happen
// to be valid UTF-8 read back as UTF-8.
bool Representable(const QStringList &entries, TextEncoding encoding) {
    for (const QString &e : entries) {
        if (HasLoneSurrogate(reinterpret_cast<const char16_t *>(e.utf16()), size_t(e.size())))
            return false;
    }
    const QString first = entries.value(0);
    switch (encoding) {
    case TextEncoding::Plain:
        return !first.startsWith(QChar(0xFEFF));
    case TextEncoding::Latin1: {
        for (const QString &e : entries) {
            for (const QChar c : e) {
                if (c.unicode() > 0xFF)
                    return false;
            }
        }
        const QByteArray bytes = entries.join(QStringLiteral("\r\n")).toLatin1();
        bool ascii = true;
        for (const char c : bytes)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        return ascii || (!ValidUtf8(bytes) && !StartsWithMark(bytes));
    }
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return true;
    }
    return false;
}

void ExpectSameEntries(const QStringList &expected, const QStringList &actual) {
    if (expected == actual)
        return;
    std::fprintf(stderr, "%d entries expected, %d read\n", int(expected.size()),
                 int(actual.size()));
    for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        if (expected.value(i) != actual.value(i)) {
            FuzzShow("expected", expected.value(i));
            FuzzShow("read    ", actual.value(i));
            break;
        }
    }
    FUZZ_CHECK(expected == actual);
}

constexpr TextEncoding kEncodings[] = {TextEncoding::Plain, TextEncoding::Latin1,
                                       TextEncoding::Utf8Bom, TextEncoding::Utf16LE,
                                       TextEncoding::Utf16BE};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    // The input as a playlist file: load, save, load again.
    const PlaylistFile::Decoded loaded = PlaylistFile::Decode(bytes);
    for (const QString &e : loaded.entries)
        FUZZ_CHECK(!e.contains(u'\r') && !e.contains(u'\n'));
    const QByteArray saved = PlaylistFile::Encode(loaded.entries, loaded.encoding);
    const QByteArray expected = ExpectedSave(bytes, loaded.encoding);
    if (!expected.isNull())
        FUZZ_CHECK(saved == expected);
    const PlaylistFile::Decoded reloaded = PlaylistFile::Decode(saved);
    ExpectSameEntries(loaded.entries, reloaded.entries);
    FUZZ_CHECK(reloaded.encoding == loaded.encoding);

    // The packed list the playlist keeps reads and writes the same.
    const PlaylistFile::DecodedList packed = PlaylistFile::DecodeList(bytes);
    FUZZ_CHECK(packed.encoding == loaded.encoding);
    ExpectSameEntries(loaded.entries, packed.entries.toStringList());
    FUZZ_CHECK(PlaylistFile::EncodeList(packed.entries, packed.encoding) == saved);

    // The input as a list the user built, written in one of the encodings.
    if (size > 0) {
        const TextEncoding encoding = kEncodings[data[0] % std::size(kEncodings)];
        const Units units = WideUnits(bytes.sliced(1), false);
        const QString text = QString::fromUtf16(units.data(), qsizetype(units.size()));
        QStringList entries;
        for (const QString &line : text.split(u'\n')) {
            QString entry = line;
            entries << entry.remove(u'\r');
        }
        const QByteArray encoded = PlaylistFile::Encode(entries, encoding);
        FUZZ_CHECK(PlaylistFile::EncodeList(EntryList(entries), encoding) == encoded);
        if (Representable(entries, encoding)) {
            const PlaylistFile::Decoded read = PlaylistFile::Decode(encoded);
            ExpectSameEntries(entries, read.entries);
        }
    }
    return 0;
}

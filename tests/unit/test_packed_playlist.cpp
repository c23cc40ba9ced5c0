// The packed playlist must behave exactly as the QString-based one it
// replaced: the same texts, the same search matches as QString::contains
// ignoring case, the same file bytes, the same rows under a search however
// the search text was reached.
#include "persistence/PlaylistFile.h"
#include "playlist/EntryList.h"
#include "playlist/Playable.h"
#include "playlist/PlaylistModel.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace {

// Characters whose case folding is easy to get wrong: Kelvin sign and long s
// fold to ASCII, micro sign leaves Latin-1, final sigma, dotted and dotless
// i, a Deseret pair (U+10400, U+10428) and lone surrogates.
const QString kTricky = QString::fromUtf16(u"aAkKsSiI\u212A\u017F\u00B5\u03BC\u039C\u00DF\u00E9"
                                           u"\u00C9\u03A3\u03C3\u03C2\u0130\u0131\u00FF\u0178"
                                           u"\U00010400\U00010428\xD800\xDC00 .-/");

QString RandomText(std::mt19937 &rng, int maxLength) {
    const int n = int(rng() % unsigned(maxLength + 1));
    QString s;
    for (int i = 0; i < n; ++i)
        s += kTricky.at(int(rng() % unsigned(kTricky.size())));
    return s;
}

EntryList::View ViewOf(const EntryList &list, int i) {
    return list.view(i);
}

TEST(PackedPlaylist, SearchMatchesAsQStringIgnoringCase) {
    const QString longAscii = QString(40, QLatin1Char('x')) + QStringLiteral("Love");
    const QString longWide = QString(40, QChar(0x0416)) + QStringLiteral("LOVE");
    struct Case {
        QString entry, key;
    };
    const Case cases[] = {
        {"Love.mp3", "love"},
        {"x", ""},
        {"", ""},
        {"", "a"},
        {"ab", "abc"},
        {QString::fromUtf16(u"\u212Aelvin"), "kelvin"},
        {"MASS", QString::fromUtf16(u"\u017F")},
        {QString::fromUtf16(u"\u00B5s"), QString::fromUtf16(u"\u03BCs")},
        {QString::fromUtf16(u"ΣΟΦΙΑ"), QString::fromUtf16(u"σοφια")},
        {QString::fromUtf16(u"\U00010400"), QString::fromUtf16(u"\U00010428")},
        {longAscii, "love"},
        {longAscii.left(43), "love"},
        {longWide, "love"},
        {longWide + "x", "ovex"},
    };
    for (const Case &c : cases) {
        const EntryList list(QStringList{c.entry});
        EXPECT_EQ(EntryMatcher(c.key).matches(list.view(0)),
                  c.entry.contains(c.key, Qt::CaseInsensitive))
            << c.entry.toStdString() << " / " << c.key.toStdString();
    }
    // And over random texts of the characters above, at lengths around the
    // 16-byte steps of the scan.
    std::mt19937 rng(7);
    QStringList entries;
    for (int i = 0; i < 400; ++i)
        entries << RandomText(rng, 40);
    const EntryList list(entries);
    for (int k = 0; k < 200; ++k) {
        const QString key = RandomText(rng, 3);
        const EntryMatcher matcher(key);
        for (int i = 0; i < entries.size(); ++i)
            ASSERT_EQ(matcher.matches(ViewOf(list, i)),
                      entries[i].contains(key, Qt::CaseInsensitive))
                << "entry " << i << " key " << key.toStdString();
    }
}

TEST(PackedPlaylist, EditsKeepTheTextsOfAQStringList) {
    std::mt19937 rng(11);
    QStringList expected;
    EntryList list;
    for (int step = 0; step < 3000; ++step) {
        const unsigned op = rng() % 10;
        if (op < 5 || expected.isEmpty()) {
            const QString e = RandomText(rng, 30);
            expected << e;
            list.append(QStringView(e));
        } else if (op < 8) {
            const int i = int(rng() % unsigned(expected.size()));
            expected.removeAt(i);
            list.removeAt(i);
        } else {
            const int from = int(rng() % unsigned(expected.size()));
            const int to = int(rng() % unsigned(expected.size()));
            expected.move(from, to);
            list.move(from, to);
        }
    }
    EXPECT_EQ(list.toStringList(), expected);
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}

// The bytes a save wrote before the list was packed: every entry and CR LF
// joined into one text, converted at once.
QByteArray WholeTextEncode(const QStringList &entries, TextEncoding encoding) {
    QString text;
    for (const QString &e : entries)
        text += e + QLatin1String("\r\n");
    switch (encoding) {
    case TextEncoding::Plain:
        return text.toUtf8();
    case TextEncoding::Latin1:
        return text.toLatin1();
    case TextEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case TextEncoding::Utf16LE:
        return "\xFF\xFE" +
               QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless)(text);
    case TextEncoding::Utf16BE:
        return "\xFE\xFF" +
               QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless)(text);
    }
    return {};
}

TEST(PackedPlaylist, FileBytesAreThoseOfTheWholeText) {
    std::mt19937 rng(5);
    QStringList entries;
    // Enough text for the encoder's pieces to break several times.
    for (int i = 0; i < 12000; ++i)
        entries << RandomText(rng, 24);
    entries << QString::fromUtf16(u"ends in a high surrogate \xD800")
            << QString::fromUtf16(u"\xDC00 starts with a low one") << QString();
    for (const TextEncoding e : {TextEncoding::Plain, TextEncoding::Latin1, TextEncoding::Utf8Bom,
                                 TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        const QByteArray bytes = PlaylistFile::Encode(entries, e);
        ASSERT_EQ(bytes, WholeTextEncode(entries, e)) << int(e);
        // What a save wrote loads back as the list it came from, where the
        // encoding can hold it.
        if (e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE) {
            EXPECT_EQ(PlaylistFile::DecodeList(bytes).entries.toStringList(), entries);
        }
    }
}

QList<QString> Rows(const PlaylistModel &m) {
    QList<QString> rows;
    for (int i = 0; i < m.count(); ++i)
        rows << m.entry(i);
    return rows;
}

TEST(PackedPlaylist, SearchRowsDoNotDependOnHowTheTextWasTyped) {
    const QStringList entries = {"Love.mp3",  "glove.ogg", "LOVELY",         "olive",
                                 "lo-fi.mp3", "vole",      "Lov\u00E9.flac", "\u212Aove"};
    PlaylistModel typed;
    typed.setEntries(entries, TextEncoding::Plain);
    const QStringList steps = {"",  "l", "lo",   "lov", "love", "lov", "lo", " lo ",
                               "o", "l", "love", "",    "v",    "ve",  "e",  kSearchPlaceholder};
    for (int s = 0; s < steps.size(); ++s) {
        typed.setSearchText(steps[s]);
        // Edits in between: the rows found before no longer hold.
        if (s == 5)
            typed.append({"Lovers.mp3"});
        if (s == 9)
            typed.moveEntry(0, typed.count() - 1);
        if (s == 12 && typed.count() > 1)
            typed.deleteRow(1);
        PlaylistModel fresh;
        fresh.setEntries(typed.allEntries(), TextEncoding::Plain);
        fresh.setSearchText(steps[s]);
        EXPECT_EQ(Rows(typed), Rows(fresh)) << "after \"" << steps[s].toStdString() << '"';
    }
}

TEST(PackedPlaylist, ALongListSearchedInPartsKeepsItsOrder) {
    std::mt19937 rng(3);
    QStringList entries;
    for (int i = 0; i < 150'000; ++i)
        entries << QStringLiteral("%1 %2").arg(i).arg(RandomText(rng, 6));
    PlaylistModel list;
    list.setEntries(entries, TextEncoding::Plain);
    list.setSearchText(QStringLiteral("k"));
    QList<QString> expected;
    for (const QString &e : entries)
        if (e.contains(QLatin1Char('k'), Qt::CaseInsensitive))
            expected << e;
    EXPECT_EQ(Rows(list), expected);
}

TEST(PackedPlaylist, FileTestInPlaceAsOnAString) {
    const QString dir = TestHome() + "/files";
    QDir().mkpath(dir + "/folder");
    for (const QString &name : {QString("plain.mp3"), QString::fromUtf16(u"caf\u00E9.mp3"),
                                QString::fromUtf16(u"Песня.mp3")})
        WriteBytes(dir + "/" + name, "x");
    ASSERT_EQ(::symlink("plain.mp3", QFile::encodeName(dir + "/link.mp3").constData()), 0);
    const QStringList entries = {dir + "/plain.mp3",
                                 dir + QString::fromUtf16(u"/caf\u00E9.mp3"),
                                 dir + QString::fromUtf16(u"/Песня.mp3"),
                                 dir + "/link.mp3",
                                 dir + "/folder",
                                 dir + "/missing.mp3",
                                 dir + QString::fromUtf16(u"/\xD800.mp3"),
                                 QString(),
                                 dir + QStringLiteral("/plain.mp3") + QChar(0) + "tail",
                                 "http://h/a.mp3",
                                 "HTTP://h/a.mp3",
                                 dir + "/" + QString(2000, QLatin1Char('n'))};
    const EntryList list(entries);
    for (int i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(FileExists(list.view(i)), FileExists(entries[i])) << i;
        EXPECT_EQ(IsLink(list.view(i)), IsLink(entries[i])) << i;
    }
}

} // namespace

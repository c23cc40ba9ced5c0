// Faults the fuzz targets found, held in place in the ordinary build too (the
// inputs themselves stay in fuzz/regressions/).
#include "persistence/PlaylistFile.h"
#include "persistence/ValueText.h"
#include "playback/Texts.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// A second mark behind the first is text: the decoders used to drop it, and
// a save then wrote the file back without it.
TEST(FuzzFindings, ASecondByteOrderMarkBelongsToTheFirstEntry) {
    const struct {
        const char *what;
        QByteArray bytes;
        TextEncoding encoding;
    } cases[] = {
        {"UTF-8",
         QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                    "a\r\n"),
         TextEncoding::Utf8Bom},
        {"UTF-16 LE",
         QByteArray("\xFF\xFE\xFF\xFE"
                    "a\0\r\0\n\0",
                    10),
         TextEncoding::Utf16LE},
        {"UTF-16 BE", QByteArray("\xFE\xFF\xFE\xFF\0a\0\r\0\n", 10), TextEncoding::Utf16BE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const PlaylistFile::Decoded decoded = PlaylistFile::Decode(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.entries, QStringList{QStringLiteral("\uFEFFa")});
        EXPECT_EQ(PlaylistFile::Encode(decoded.entries, decoded.encoding), c.bytes);
    }
}

// index + 1 overflowed for the largest index; the caption's arithmetic is
// 32 bits wide and wraps, as the rest of the texts do.
TEST(FuzzFindings, PlaylistCaptionOfTheLargestIndexWraps) {
    EXPECT_EQ(PlaylistCaption(INT_MAX, 3),
              QStringLiteral("Список воспроизведения. Играет -2147483648 трек из 3"));
}

// Leading zeros made an exponent look long enough to outweigh any mantissa,
// which turned a number too large into 0 and one too small into no number.
TEST(FuzzFindings, ZeroPaddedExponentsCountByTheirValue) {
    const QString huge = QStringLiteral("1") + QString(400, u'0') + QStringLiteral("e-0000000001");
    const QString tiny =
        QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1e+0000000001");
    EXPECT_EQ(ReadFloatText(huge, 7.0, u'.'), 7.0);
    EXPECT_EQ(ReadFloatText(tiny, 7.0, u'.'), 0.0);
    EXPECT_EQ(ReadFloatText(QStringLiteral("2,5e-0000000001"), 7.0, u','), 0.25);
    EXPECT_EQ(ReadFloatText(QStringLiteral("1e-00000000000000000000000000400"), 7.0, u'.'), 0.0);
}

} // namespace

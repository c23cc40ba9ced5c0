#include "app/Errors.h"
#include "persistence/PlaylistFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using PlaylistFile::Decode;
using PlaylistFile::Encode;

struct DecodeCase {
    QByteArray bytes;
    QStringList entries;
    TextEncoding encoding;
};

TEST(PlaylistFileFormat, DecodesMarksAndLineEnds) {
    const DecodeCase cases[] = {
        {"", {}, TextEncoding::Plain},
        {"\r\n", {""}, TextEncoding::Plain},
        {"a\r\nb\r\n", {"a", "b"}, TextEncoding::Plain},
        {"a\rb\nc", {"a", "b", "c"}, TextEncoding::Plain}, // last line without an end
        {"a\n\rb", {"a", "", "b"}, TextEncoding::Plain},   // LF then CR: two line ends
        {"a\r\n\r\nb\r\n", {"a", "", "b"}, TextEncoding::Plain},
        {"\xEF\xBB\xBFx\r\n", {"x"}, TextEncoding::Utf8Bom},
        {"\xEF\xBB\xBF", {}, TextEncoding::Utf8Bom},
        {QByteArray("\xFF\xFEx\0\r\0\n\0", 8), {"x"}, TextEncoding::Utf16LE},
        {QByteArray("\xFE\xFF\0x\0\r\0\n", 8), {"x"}, TextEncoding::Utf16BE},
        {"\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F.mp3\r\n", {"Песня.mp3"}, TextEncoding::Plain},
        {"caf\xE9.mp3\r\n", {"caf\u00e9.mp3"}, TextEncoding::Latin1}, // not valid UTF-8
    };
    for (const auto &c : cases) {
        const auto d = Decode(c.bytes);
        EXPECT_EQ(d.entries, c.entries) << c.bytes.toHex().constData();
        EXPECT_EQ(d.encoding, c.encoding) << c.bytes.toHex().constData();
    }
}

TEST(PlaylistFileFormat, SavesBackInTheEncodingItWasLoadedWith) {
    const QByteArray files[] = {
        "a\r\n\r\nPesnya \xD0\x9F.mp3\r\n",
        "\xEF\xBB\xBF/m/a.mp3\r\nhttp://h/x.mp4\r\n",
        QByteArray("\xFF\xFEy\0\r\0\n\0", 8),
        QByteArray("\xFE\xFF\0y\0\r\0\n", 8),
        "caf\xE9\r\n\xFF\xFE\r\n", // stray bytes survive a load and a save unchanged
    };
    for (const QByteArray &bytes : files) {
        const auto d = Decode(bytes);
        EXPECT_EQ(Encode(d.entries, d.encoding), bytes) << bytes.toHex().constData();
    }
    // A missing last line end is added; an empty list is 0 bytes.
    const auto open = Decode("a\r\nb");
    EXPECT_EQ(Encode(open.entries, open.encoding), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(Encode({}, TextEncoding::Utf8Bom), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(Encode({}, TextEncoding::Plain), QByteArray());
}

TEST(PlaylistFileIo, SampleSaveAndLoad) {
    const QString path = TestDocuments() + "/" + PlaylistFile::FileName();
    PlaylistFile::WriteSample(path);
    EXPECT_EQ(ReadBytes(path), PlaylistFile::kSampleEntry.toUtf8() + "\r\n");
    EXPECT_TRUE(PlaylistFile::kSampleEntry.startsWith("http:"));

    PlaylistFile::Save(path, {"x", "Файл.mp3"}, TextEncoding::Utf16LE);
    const auto loaded = PlaylistFile::Load(path);
    EXPECT_EQ(loaded.entries, QStringList({"x", "Файл.mp3"}));
    EXPECT_EQ(loaded.encoding, TextEncoding::Utf16LE);

    PlaylistFile::Save(path, {}, TextEncoding::Plain);
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_TRUE(QDir(TestDocuments()).entryList(QDir::Files) ==
                QStringList{PlaylistFile::FileName()})
        << "no temporary file is left behind";
}

TEST(PlaylistFileIo, ErrorsCarryThePathAndReason) {
    const QString missing = TestDocuments() + "/nothing/here.ini";
    try {
        PlaylistFile::Load(missing);
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(),
                  QString("Cannot open file \"%1\". No such file or directory").arg(missing));
    }
    try {
        PlaylistFile::Save(missing, {"a"}, TextEncoding::Plain);
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(),
                  QString("Cannot create file \"%1\". No such file or directory").arg(missing));
    }
    // A directory in the file's place is neither loaded as a list nor replaced.
    const QString dir = TestDocuments() + "/" + PlaylistFile::FileName();
    QDir().mkpath(dir);
    EXPECT_THROW(PlaylistFile::Save(dir, {"a"}, TextEncoding::Plain), AppError);
    EXPECT_THROW(PlaylistFile::WriteSample(dir), AppError);
    EXPECT_TRUE(QFileInfo(dir).isDir());
}

TEST(PlaylistFileIo, SaveFollowsASymbolicLink) {
    const QString real = TestDocuments() + "/real.ini";
    const QString link = TestDocuments() + "/" + PlaylistFile::FileName();
    WriteBytes(real, "old\r\n");
    ASSERT_TRUE(QFile::link(real, link));
    PlaylistFile::Save(link, {"new"}, TextEncoding::Plain);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(real), QByteArray("new\r\n"));
}

} // namespace

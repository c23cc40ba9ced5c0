// Whatever the user plays, the player keeps running, says what went wrong
// with the entry, and leaves the two files alone. These run the real start-up
// and the real engine (without outputs); the commands go through the
// buttons, as a click does.
#include "reliability/RealPlayer.h"

#include <QFile>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

using BadMedia = RealPlayer;

// Files that exist but hold no playable media: the start fails with the
// entry and the reason, nothing stays loaded, and the next entry plays.
TEST_F(BadMedia, UnplayableFilesAreReportedAndSkipped) {
    const QByteArray clip = ReadBytes(Media("clip.mp4"));
    const struct {
        const char *what;
        QString entry;
        const char *reason;
    } cases[] = {
        {"an empty file", Place("empty.mp4", {}), "Unrecognized file format"},
        {"a truncated MP4", Place("truncated.mp4", clip.left(clip.size() / 2)),
         "The file is incomplete or damaged"},
        {"random bytes", PlaceMedia("noise.mp4", "corrupt.mp4"), "Unrecognized file format"},
        {"a text file", Place("notes.mp3", "Shopping list:\nmilk\nbread\n"),
         "Unrecognized file format"},
        // Never the media file it names.
        {"a text file naming a media file", Place("list.mp3", Media("tone.wav").toUtf8() + "\n"),
         "Unrecognized file format"},
        // mpv reads it as a playlist and would go on to what it names.
        {"an M3U playlist", Place("radio.mp3", "#EXTM3U\nhttp://127.0.0.1:9/x.mp3\n"),
         "It is a playlist, not a media file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        expectNextReports(c.entry, c.reason);
    }
}

// A folder is no file: the searches pass over it, a double click calls it
// missing, and opening it says what it is.
TEST_F(BadMedia, FolderNamedLikeMediaIsNotPlayed) {
    const QString folder = TestHome() + QStringLiteral("/Video.mp4");
    PlaceMedia(QStringLiteral("Video.mp4/inside.wav"), "tone.wav");
    startWith(folder);
    clickNext();
    EXPECT_EQ(engine.fileName(), last()) << "the search did not pass over the folder";
    EXPECT_TRUE(dialogs.shown.isEmpty());

    Form1->state().list.selectRow(1);
    RunHandler([] { Form2->ListBox1DblClick(); });
    files.file = folder;
    Form1->bOpen->click();
    EXPECT_EQ(dialogs.shown,
              QStringList({QStringLiteral("information: Файл %1 не найден.").arg(folder),
                           QStringLiteral("report: Cannot play \"%1\". It is a folder, not a "
                                          "media file")
                               .arg(folder)}));
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_TRUE(DocumentFiles::read() == before);
}

// Names reach the engine as names: nothing in them is run or parsed.
TEST_F(BadMedia, NamesWithShellAndQuoteCharactersPlay) {
    const QStringList names = {
        QStringLiteral("it's \"quoted\".wav"), QStringLiteral("one; touch pwned.wav"),
        QStringLiteral("$(touch pwned).wav"),  QStringLiteral("`touch pwned`.wav"),
        QStringLiteral("  spaced   out .wav"), QStringLiteral("Песня ünïcødé 歌 ｔｅｓｔ.wav"),
        QStringLiteral("| touch pwned &.wav"), QStringLiteral("--pause=yes.wav"),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString entry = PlaceMedia(QStringLiteral("names/") + name, "tone.wav");
        startWith(entry);
        clickNext();
        EXPECT_EQ(engine.fileName(), entry);
        EXPECT_EQ(engine.state(), MediaState::Playing);
        EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Велпа.Плеер : ") + name.chopped(4) +
                                            QStringLiteral(" Длительность 00:00:02"));
        EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(u'\n').toStdString();
        expectStillRunning();
        DestroyForms();
    }
    EXPECT_FALSE(QFileInfo::exists(TestHome() + QStringLiteral("/pwned")));
    EXPECT_FALSE(QFileInfo::exists(TestHome() + QStringLiteral("/names/pwned")));
}

// A path near the system's limit plays; one beyond it cannot even be looked
// at, so it counts as missing.
TEST_F(BadMedia, VeryLongPaths) {
    const QString component(200, u'd');
    QString relative;
    while (TestHome().size() + relative.size() + 220 < PATH_MAX - 16)
        relative += component + u'/';
    const QString longEntry = PlaceMedia(relative + QStringLiteral("long.wav"), "tone.wav");
    ASSERT_GT(longEntry.size(), 3800);
    startWith(longEntry);
    clickNext();
    EXPECT_EQ(engine.fileName(), longEntry);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(u'\n').toStdString();
    DestroyForms();

    // Made step by step below the long folder, as no single path reaches it.
    const int folder = ::open(QFile::encodeName(QFileInfo(longEntry).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    ASSERT_EQ(::mkdirat(folder, QFile::encodeName(component).constData(), 0755), 0);
    const int inner =
        ::openat(folder, QFile::encodeName(component).constData(), O_RDONLY | O_DIRECTORY);
    const int media = ::openat(inner, "beyond.wav", O_WRONLY | O_CREAT, 0644);
    const QByteArray tone = ReadBytes(Media("tone.wav"));
    ASSERT_EQ(::write(media, tone.constData(), size_t(tone.size())), tone.size());
    ::close(media);
    ::close(inner);
    ::close(folder);
    const QString tooLong =
        QFileInfo(longEntry).absolutePath() + u'/' + component + QStringLiteral("/beyond.wav");
    ASSERT_GT(tooLong.size(), PATH_MAX);

    startWith(tooLong);
    clickNext();
    EXPECT_EQ(engine.fileName(), last()) << "the search did not pass over it";
    Form1->state().list.selectRow(1);
    RunHandler([] { Form2->ListBox1DblClick(); });
    EXPECT_EQ(dialogs.shown,
              QStringList{QStringLiteral("information: Файл %1 не найден.").arg(tooLong)});
    EXPECT_TRUE(DocumentFiles::read() == before);
}

// Relative entries are files in the working folder, whatever they look like.
TEST_F(BadMedia, RelativeNamesThatLookLikeProtocolsAreFiles) {
    PlaceMedia(QStringLiteral("x:/y"), "tone.wav");
    startWith(QStringLiteral("x://y"));
    clickNext();
    EXPECT_EQ(engine.fileName(), QStringLiteral("x://y"));
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Велпа.Плеер : y Длительность 00:00:02"));
    DestroyForms();

    // As a protocol this would play a generated tone; as a file it is missing.
    const QString generated = QStringLiteral("av://lavfi:sine");
    startWith(generated);
    clickNext();
    EXPECT_EQ(engine.fileName(), last()) << "the search did not pass over it";
    files.file = generated;
    Form1->bOpen->click();
    EXPECT_EQ(dialogs.shown,
              QStringList{QStringLiteral("report: Cannot play \"%1\". No such file or directory")
                              .arg(generated)});
    EXPECT_FALSE(engine.hasMedia());
    expectStillRunning();
}

} // namespace

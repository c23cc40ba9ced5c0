// The documents folder and its two files when the disk does not play along:
// a file where the folder should be, a folder where the playlist should be,
// a full disk, and a kill in the middle of a save. The player says what went
// wrong, and the files hold either their old or their new content, whole.
#include "app/Application.h"
#include "persistence/AtomicFile.h"
#include "persistence/PlaylistFile.h"
#include "playback/PlayerState.h"
#include "playlist/PlaylistModel.h"
#include "reliability/ReliabilitySupport.h"
#include "reliability/SaveLoopLists.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

std::string Text(const QString &text) {
    return text.toStdString();
}

// The real program, started as a user would, in a home of its own.
struct Outcome {
    int exitCode = -1;
    bool crashed = false;
    QString errors; // standard error
};

Outcome StartProgram(const QString &home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "DISPLAY", "WAYLAND_DISPLAY",
                             "DBUS_SESSION_BUS_ADDRESS"})
        environment.remove(QString::fromLatin1(name));
    QProcess player;
    player.setProcessEnvironment(environment);
    player.setWorkingDirectory(home);
    player.start(QStringLiteral(VELPA_PLAYER_BINARY), {});
    Outcome run;
    if (!player.waitForFinished(60'000)) {
        player.kill();
        player.waitForFinished();
        run.errors = QStringLiteral("(did not end within a minute)");
        return run;
    }
    run.exitCode = player.exitCode();
    run.crashed = player.exitStatus() != QProcess::NormalExit;
    run.errors = QString::fromLocal8Bit(player.readAllStandardError());
    return run;
}

// Start-up cannot go on: the real program says why and ends with exit code 1
// instead of waiting for an answer nobody can give.
TEST(FilesAndDisks, StartUpFailuresEndTheProgramWithAMessage) {
    const struct {
        const char *what;
        std::function<void(const QString &documents)> arrange;
        QString message;
    } cases[] = {
        {"documents path is a file",
         [](const QString &documents) { WriteBytes(documents, "not a folder"); },
         QStringLiteral("Path not found")},
        {"playlist file is a folder",
         [](const QString &documents) {
             QDir().mkpath(documents + QStringLiteral("/Velpa.Player.listbox.ini"));
             WriteBytes(documents + QStringLiteral("/Velpa.Player.settings.ini"),
                        "[List]\r\nLast=0\r\n");
         },
         QStringLiteral("File access denied")},
        {"settings file is a folder",
         [](const QString &documents) {
             QDir().mkpath(documents + QStringLiteral("/Velpa.Player.settings.ini"));
         },
         QStringLiteral("File access denied")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString home = TestHome() + u'/' + QString::fromLatin1(c.what).replace(u' ', u'-');
        QDir().mkpath(home);
        const QString documents = home + QStringLiteral("/Documents");
        c.arrange(documents);
        const QStringList entries = FolderEntries(documents);
        const QByteArray settings =
            ReadBytes(documents + QStringLiteral("/Velpa.Player.settings.ini"));

        const Outcome run = StartProgram(home);
        EXPECT_FALSE(run.crashed) << Text(run.errors);
        EXPECT_EQ(run.exitCode, 1) << Text(run.errors);
        EXPECT_TRUE(run.errors.split(u'\n').contains(c.message)) << Text(run.errors);
        EXPECT_EQ(FolderEntries(documents), entries);
        EXPECT_EQ(ReadBytes(documents + QStringLiteral("/Velpa.Player.settings.ini")), settings);
    }
}

class RunningPlayer : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;

    void TearDown() override {
        if (Form1)
            DestroyForms();
    }
    void start(const QStringList &entries) {
        WriteDocuments(entries, 0);
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
    }
    PlayerState &state() { return Form1->state(); }
};

// The playlist file turns into a folder while the player runs: leaving the
// playlist window says so, the list stays, and closing the window is
// abandoned when the sample file cannot be written either.
TEST_F(RunningPlayer, PlaylistFileThatBecameAFolder) {
    start({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")});
    const QStringList list = state().list.allEntries();
    ASSERT_TRUE(QFile::remove(PlaylistFileOnDisk()));
    ASSERT_TRUE(QDir().mkdir(PlaylistFileOnDisk()));

    Form2->show();
    Form2->bExit->click(); // leaves the search box empty, which saves
    Form2->show();
    state().list.setSearchText(kSearchPlaceholder); // no save; the sample file instead
    EXPECT_FALSE(Form2->close());
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(dialogs.shown,
              QStringList({QStringLiteral("report: Cannot create file \"%1\". Is a directory")
                               .arg(PlaylistFileOnDisk()),
                           QStringLiteral("report: File access denied")}));
    EXPECT_EQ(state().list.allEntries(), list);
    EXPECT_TRUE(QFileInfo(PlaylistFileOnDisk()).isDir());
    EXPECT_TRUE(Form1->close());
}

// A full disk: a tmpfs of 64 KiB where the machine lets a test mount one,
// otherwise a file size limit, which fails the writes the same way.
TEST_F(RunningPlayer, FullDiskKeepsTheOldFilesWhole) {
    SmallDisk disk(TestHome() + QStringLiteral("/Documents"), 64 * 1024);
    start({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")});
    const DocumentFiles before = DocumentFiles::read();
    const QStringList files = FolderEntries(TestDocuments());
    const QString reason = disk.mounted() ? QStringLiteral("No space left on device")
                                          : QStringLiteral("File too large");
    SCOPED_TRACE(disk.mounted() ? "on a full tmpfs" : "over a file size limit");

    // A list far larger than the disk.
    QStringList more;
    for (int i = 0; i < 3000; ++i)
        more << QStringLiteral("/home/user/Music/Some Artist/Some Album/%1 Track.mp3").arg(i);
    state().list.append(more);
    Form2->show();
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (!disk.mounted())
            limit = std::make_unique<FileSizeLimit>(16 * 1024);
        Form2->bExit->click();
    }
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(
        dialogs.shown.first(),
        QStringLiteral("report: Cannot create file \"%1\". %2").arg(PlaylistFileOnDisk(), reason));
    EXPECT_EQ(DocumentFiles::read().playlist, before.playlist);
    EXPECT_EQ(state().list.count(), 2 + more.size());

    // Full to the last byte: closing the main window cannot write the
    // settings, so it stays open; once there is room again it closes.
    const DocumentFiles full = DocumentFiles::read();
    const QString filler = TestDocuments() + QStringLiteral("/filler");
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (disk.mounted()) {
            QFile fill(filler);
            ASSERT_TRUE(fill.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
        } else {
            limit = std::make_unique<FileSizeLimit>(0);
        }
        EXPECT_FALSE(Form1->close());
    }
    EXPECT_TRUE(Form1->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown.last(),
              QStringLiteral("report: Unable to write to ") + SettingsFileOnDisk());
    EXPECT_TRUE(DocumentFiles::read() == full);
    QFile::remove(filler);
    EXPECT_EQ(FolderEntries(TestDocuments()), files) << "a temporary file was left behind";
    EXPECT_TRUE(Form1->close());
}

// The temporary file gets its name only when complete; it still ends up
// with the permissions a file made the ordinary way would have.
TEST(AtomicSave, SavedFilesHaveTheUsualPermissions) {
    const QString path = TestDocuments() + QStringLiteral("/saved.ini");
    for (const mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        SCOPED_TRACE(mask);
        const mode_t previous = ::umask(mask);
        const int err = WriteFileAtomically(path, "x\r\n");
        ::umask(previous);
        ASSERT_EQ(err, 0);
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
        EXPECT_EQ(FolderEntries(TestDocuments()), QStringList{QStringLiteral("saved.ini")});
    }
}

// Killed at random moments while it saves a playlist of 300,000 entries,
// again and again: the file always holds one whole list, never a mix or a
// part, and whatever a kill leaves behind beside it is never half a list.
TEST(KillDuringSave, FileIsAlwaysTheOldOrTheNewListWhole) {
    constexpr int kEntries = 300'000;
    const QString path = TestDocuments() + u'/' + PlaylistFile::FileName();
    const QByteArray lists[] = {
        PlaylistFile::Encode(SaveLoopList(0, kEntries), TextEncoding::Plain),
        PlaylistFile::Encode(SaveLoopList(1, kEntries), TextEncoding::Plain)};
    WriteBytes(path, lists[1]);

    const auto startLoop = [&](QProcess &loop) {
        loop.start(QStringLiteral(VELPA_SAVE_LOOP_BINARY), {path, QString::number(kEntries)});
        return loop.waitForStarted(10'000) && loop.waitForReadyRead(30'000);
    };
    // How long one save takes on this machine (and in this build).
    QElapsedTimer clock;
    QProcess calibration;
    ASSERT_TRUE(startLoop(calibration));
    clock.start();
    while (clock.elapsed() < 1500)
        calibration.waitForReadyRead(100);
    const qint64 saves = calibration.readAllStandardOutput().size();
    calibration.kill();
    calibration.waitForFinished();
    const qint64 saveTime = std::max<qint64>(1, clock.elapsed() / std::max<qint64>(1, saves));

    std::random_device seed;
    const unsigned seedValue = seed();
    std::mt19937 random(seedValue);
    SCOPED_TRACE("seed " + std::to_string(seedValue) + ", one save ~" + std::to_string(saveTime) +
                 " ms");
    std::uniform_int_distribution<qint64> moment(0, saveTime * 4);
    int leftovers = 0;
    QElapsedTimer total;
    total.start();
    for (int kill = 0; kill < 30 && total.elapsed() < 60'000; ++kill) {
        QProcess loop;
        ASSERT_TRUE(startLoop(loop));
        QThread::usleep(static_cast<unsigned long>(moment(random) * 1000));
        loop.kill();
        loop.waitForFinished();

        const QByteArray content = ReadBytes(path);
        ASSERT_TRUE(content == lists[0] || content == lists[1])
            << "kill " << kill << ": " << content.size() << " bytes, neither list";
        for (const QString &name : FolderEntries(TestDocuments())) {
            if (name == PlaylistFile::FileName())
                continue;
            const QByteArray left = ReadBytes(TestDocuments() + u'/' + name);
            EXPECT_TRUE(left == lists[0] || left == lists[1])
                << "kill " << kill << " left " << Text(name) << " with " << left.size() << " bytes";
            QFile::remove(TestDocuments() + u'/' + name);
            ++leftovers;
        }
    }
    RecordProperty("leftovers", leftovers);
}

} // namespace

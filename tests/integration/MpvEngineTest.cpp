#include "engine/MpvEngine.h"
#include "app/Errors.h"
#include "integration/IntegrationSupport.h"
#include "integration/MediaServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <stdexcept>

using namespace std::chrono_literals;

static void PrintTo(MediaState state, std::ostream *os) {
    switch (state) {
    case MediaState::Unavailable:
        *os << "Unavailable";
        return;
    case MediaState::Playing:
        *os << "Playing";
        return;
    case MediaState::Stopped:
        *os << "Stopped";
        return;
    }
}

namespace {

std::string Text(const QString &text) {
    return text.toStdString();
}

double InSeconds(MediaTime time) {
    return double(time) / 1e7;
}

// What opening a file failed with; empty when it did not fail.
std::optional<QString> OpenError(MediaEngine &engine, const QString &entry) {
    try {
        engine.open(entry);
    } catch (const AppError &error) {
        return error.message();
    }
    return std::nullopt;
}

void ExpectNothingLoaded(const MediaEngine &engine) {
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_EQ(Text(engine.fileName()), "");
    EXPECT_EQ(engine.state(), MediaState::Unavailable);
    EXPECT_EQ(engine.currentTime(), 0);
    EXPECT_EQ(engine.duration(), 0);
    EXPECT_FALSE(engine.videoSize().hasVideo());
}

// Runs the working folder in the test's private HOME for the test's duration.
class WorkingFolder {
public:
    WorkingFolder() : m_previous(QDir::currentPath()) { QDir::setCurrent(TestHome()); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

void CopyMedia(const QString &media, const QString &target) {
    QDir().mkpath(QFileInfo(target).absolutePath());
    ASSERT_TRUE(QFile::copy(MediaFile(media), target)) << Text(target);
}

class MpvEngineTest : public ::testing::Test {
protected:
    MpvEngine engine{MpvEngine::Options{.nullOutputs = true}};

    // Opens the media and runs it until mpv holds it at its end.
    void PlayToTheEnd(const QString &entry) {
        engine.open(entry);
        engine.seek(engine.duration() - Seconds(0.3));
        ASSERT_TRUE(WaitUntil([&] { return engine.state() == MediaState::Stopped; }))
            << "never reached the end of " << Text(entry);
    }
};

TEST_F(MpvEngineTest, HasNothingBeforeTheFirstFile) {
    ExpectNothingLoaded(engine);
    engine.play();
    engine.seek(Seconds(1));
    engine.stop();
    engine.clear();
    ExpectNothingLoaded(engine);
}

TEST_F(MpvEngineTest, OpenedMediaReportDurationAndVideoSizeAndPlayFromTheStart) {
    const struct {
        const char *file;
        double seconds;
        int width;
        int height;
    } cases[] = {
        {"tone.wav", 2.0, 0, 0},
        {"tone.mp3", 2.0, 0, 0},
        {"clip.mp4", 2.0, 320, 240},
        {"picture.mp4", 2.0, 320, 240},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = MediaFile(QString::fromLatin1(c.file));
        engine.open(path);
        EXPECT_TRUE(engine.hasMedia());
        EXPECT_EQ(Text(engine.fileName()), Text(path));
        EXPECT_EQ(engine.state(), MediaState::Playing);
        EXPECT_EQ(engine.currentTime(), 0);
        EXPECT_NEAR(InSeconds(engine.duration()), c.seconds, 0.1);
        EXPECT_EQ(engine.videoSize().w(), c.width);
        EXPECT_EQ(engine.videoSize().h(), c.height);
        EXPECT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.1); }))
            << "playback does not advance";
    }
}

TEST_F(MpvEngineTest, VolumeIsHeldBetweenZeroAndOne) {
    const struct {
        float set;
        float expected;
    } cases[] = {
        {0.25f, 0.25f},
        {0.0f, 0.0f},
        {1.0f, 1.0f},
        {-0.5f, 0.0f},
        {1.7f, 1.0f},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f},
        {std::numeric_limits<float>::infinity(), 1.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.set);
        engine.setVolume(c.set);
        EXPECT_EQ(engine.volume(), c.expected);
    }
    // It belongs to the engine, not to the media.
    engine.setVolume(0.4f);
    engine.open(MediaFile(QStringLiteral("tone.wav")));
    engine.clear();
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    EXPECT_EQ(engine.volume(), 0.4f);
}

TEST_F(MpvEngineTest, StopKeepsThePositionAndPlayResumesFromIt) {
    engine.open(MediaFile(QStringLiteral("tone.wav")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() >= Seconds(0.3); }));

    engine.stop();
    EXPECT_EQ(engine.state(), MediaState::Stopped);
    ProcessEventsFor(100ms); // the last position report may still be under way
    const MediaTime halted = engine.currentTime();
    ProcessEventsFor(400ms);
    EXPECT_NEAR(InSeconds(engine.currentTime()), InSeconds(halted), 0.02);

    engine.play();
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_TRUE(WaitUntil([&] { return engine.currentTime() > halted + Seconds(0.2); }));
}

TEST_F(MpvEngineTest, SeekMovesThePositionWithinTheMedia) {
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    engine.stop();
    // The position is that of the frame shown: the first at or after the
    // target, and the clip has one every 40 ms.
    const struct {
        double target;
        double expected;
    } cases[] = {{1.0, 1.0}, {0.48, 0.48}, {-3.0, 0.0}, {1.5, 1.52}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        engine.seek(Seconds(c.target));
        ProcessEventsFor(200ms);
        EXPECT_NEAR(InSeconds(engine.currentTime()), c.expected, 0.001);
        EXPECT_EQ(engine.state(), MediaState::Stopped);
    }
    // Beyond the end there is only the end.
    engine.seek(Seconds(60));
    EXPECT_TRUE(WaitUntil([&] { return engine.currentTime() == engine.duration(); }));
    ProcessEventsFor(100ms);
    EXPECT_EQ(engine.currentTime(), engine.duration());
}

// mpv's time-pos at the end is off the duration by tens of milliseconds, in
// either direction depending on the format.
TEST_F(MpvEngineTest, TheEndIsExactlyTheDuration) {
    for (const char *file : {"tone.wav", "tone.mp3", "clip.mp4", "picture.mp4"}) {
        SCOPED_TRACE(file);
        PlayToTheEnd(MediaFile(QString::fromLatin1(file)));
        EXPECT_EQ(engine.currentTime(), engine.duration());
        ProcessEventsFor(150ms);
        EXPECT_EQ(engine.currentTime(), engine.duration());
        EXPECT_EQ(engine.state(), MediaState::Stopped);
        EXPECT_TRUE(engine.hasMedia());
    }
}

TEST_F(MpvEngineTest, PlayAtTheEndStartsOverFromTheBeginning) {
    PlayToTheEnd(MediaFile(QStringLiteral("tone.mp3")));
    engine.play();
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_LT(engine.currentTime(), Seconds(0.5));
    EXPECT_TRUE(WaitUntil([&] {
        return engine.state() == MediaState::Playing && engine.currentTime() > Seconds(0.2) &&
               engine.currentTime() < Seconds(1.5);
    }));
}

// mpv's pause is global: the previous file's pause would carry over.
TEST_F(MpvEngineTest, NextFileStartsUnpausedAtZeroWhateverTheLastOneDid) {
    const struct {
        const char *lastOne;
        std::function<void()> leave;
    } cases[] = {
        {"ended", [this] { PlayToTheEnd(MediaFile(QStringLiteral("tone.mp3"))); }},
        {"stopped",
         [this] {
             engine.open(MediaFile(QStringLiteral("clip.mp4")));
             engine.seek(Seconds(1));
             engine.stop();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lastOne);
        c.leave();
        ASSERT_FALSE(HasFatalFailure());
        engine.open(MediaFile(QStringLiteral("tone.wav")));
        EXPECT_EQ(engine.state(), MediaState::Playing);
        EXPECT_EQ(engine.currentTime(), 0);
        EXPECT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.2); }));
        EXPECT_EQ(engine.state(), MediaState::Playing);
    }
}

TEST_F(MpvEngineTest, FailuresNameTheEntryAndTheReasonAndLeaveNothingLoaded) {
    MediaServer server(MediaDir());
    const QString folder = TestHome() + QStringLiteral("/folder");
    CopyMedia(QStringLiteral("tone.wav"), folder + QStringLiteral("/inside.wav"));
    const QString missing = TestHome() + QStringLiteral("/missing.mp4");
    const QString corrupt = MediaFile(QStringLiteral("corrupt.mp4"));
    const QString notFound = server.url(QStringLiteral("none.mp4"));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/clip.mp4").arg(ClosedPort());
    const struct {
        QString entry;
        QString message;
    } cases[] = {
        {missing, QStringLiteral("Cannot play \"%1\". No such file or directory").arg(missing)},
        {corrupt, QStringLiteral("Cannot play \"%1\". Unrecognized file format").arg(corrupt)},
        {notFound, QStringLiteral("Cannot play \"%1\". HTTP error 404 Not Found").arg(notFound)},
        {refused, QStringLiteral("Cannot play \"%1\". Connection refused").arg(refused)},
        {folder,
         QStringLiteral("Cannot play \"%1\". It is a folder, not a media file").arg(folder)},
        {QString(), QStringLiteral("Cannot play \"\". No such file or directory")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Text(c.entry));
        engine.open(MediaFile(QStringLiteral("clip.mp4")));
        EXPECT_EQ(OpenError(engine, c.entry).value_or(QStringLiteral("(opened)")).toStdString(),
                  Text(c.message));
        ExpectNothingLoaded(engine);
        ProcessEventsFor(200ms); // late events of both files change nothing
        ExpectNothingLoaded(engine);
    }
    engine.open(MediaFile(QStringLiteral("tone.wav")));
    EXPECT_EQ(engine.state(), MediaState::Playing);
}

TEST_F(MpvEngineTest, FileNamesAreNeverParsedOrRun) {
    WorkingFolder here;
    const QStringList names = {
        QStringLiteral("it's \"quoted\".wav"), QStringLiteral("one;two.wav"),
        QStringLiteral("$(touch pwned).wav"),  QStringLiteral("`touch pwned`.wav"),
        QStringLiteral("  spaced  out .wav"),  QStringLiteral("Песня ünïcødé 歌.wav"),
        QStringLiteral("--pause=yes.wav"),     QStringLiteral("a\\nb%20c.wav"),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(Text(name));
        const QString path = TestHome() + QStringLiteral("/names/") + name;
        CopyMedia(QStringLiteral("tone.wav"), path);
        engine.open(path);
        EXPECT_EQ(Text(engine.fileName()), Text(path));
        EXPECT_NEAR(InSeconds(engine.duration()), 2.0, 0.1);
        EXPECT_EQ(engine.state(), MediaState::Playing);
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));
    EXPECT_FALSE(QFileInfo::exists(TestHome() + QStringLiteral("/names/pwned")));
}

// mpv would read these as a protocol, standard input or generated media.
TEST_F(MpvEngineTest, RelativePathsThatLookLikeProtocolsAreFiles) {
    WorkingFolder here;
    const QStringList entries = {
        QStringLiteral("x://y"), QStringLiteral("foo:bar.mp4"),   QStringLiteral("av://lavfi:sine"),
        QStringLiteral("-"),     QStringLiteral("http:tone.wav"), QStringLiteral("dvd://1"),
    };
    for (const QString &entry : entries) {
        SCOPED_TRACE(Text(entry));
        CopyMedia(QStringLiteral("tone.wav"), TestHome() + u'/' + entry);
        engine.open(entry);
        EXPECT_EQ(Text(engine.fileName()), Text(entry));
        EXPECT_NEAR(InSeconds(engine.duration()), 2.0, 0.1);
    }
    EXPECT_EQ(Text(OpenError(engine, QStringLiteral("memory://nothing")).value_or("(opened)")),
              "Cannot play \"memory://nothing\". No such file or directory");
}

TEST_F(MpvEngineTest, LinksPlayOverHttp) {
    MediaServer server(MediaDir());
    const QString link = server.url(QStringLiteral("clip.mp4"));
    engine.open(link);
    EXPECT_EQ(Text(engine.fileName()), Text(link));
    EXPECT_NEAR(InSeconds(engine.duration()), 2.0, 0.1);
    EXPECT_EQ(engine.videoSize().w(), 320);
    EXPECT_EQ(engine.videoSize().h(), 240);
    engine.seek(Seconds(1.7));
    EXPECT_TRUE(WaitUntil([&] { return engine.state() == MediaState::Stopped; }));
    EXPECT_EQ(engine.currentTime(), engine.duration());
}

TEST_F(MpvEngineTest, ClearUnloadsForGood) {
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.2); }));
    engine.clear();
    ExpectNothingLoaded(engine);
    ProcessEventsFor(300ms);
    engine.play();
    engine.seek(Seconds(1));
    ExpectNothingLoaded(engine);

    engine.open(MediaFile(QStringLiteral("tone.wav")));
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_EQ(engine.currentTime(), 0);
}

// The end of the replaced file arrives while the next one opens, and its
// last position reports may still be queued behind it.
TEST_F(MpvEngineTest, ReplacingPlayingMediaIsNotConfusedByTheOldOnesEnd) {
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(1.2); }));
    for (const char *file : {"tone.wav", "picture.mp4", "tone.mp3", "clip.mp4", "clip.mp4"}) {
        SCOPED_TRACE(file);
        engine.open(MediaFile(QString::fromLatin1(file)));
    }
    EXPECT_EQ(Text(engine.fileName()), Text(MediaFile(QStringLiteral("clip.mp4"))));
    EXPECT_EQ(engine.currentTime(), 0);
    ProcessEventsFor(300ms);
    EXPECT_TRUE(engine.hasMedia());
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_LT(engine.currentTime(), Seconds(1.0));
    EXPECT_EQ(engine.videoSize().w(), 320);
}

TEST(MpvEngineStart, WorksWhateverNumberFormatTheLocaleHas) {
    // mpv_create() fails unless LC_NUMERIC is "C"; QApplication sets the
    // user's locale, and C.UTF-8 is the one every Debian system has.
    if (!std::setlocale(LC_NUMERIC, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale";
    MpvEngine engine(MpvEngine::Options{.nullOutputs = true});
    engine.open(MediaFile(QStringLiteral("tone.wav")));
    EXPECT_TRUE(engine.hasMedia());
}

TEST(MpvEngineStart, RefusesToOpenBeforeTheVideoViewIsReady) {
    MpvEngine engine;
    EXPECT_THROW(engine.open(MediaFile(QStringLiteral("tone.wav"))), std::logic_error);
    EXPECT_FALSE(engine.hasMedia());
}

} // namespace

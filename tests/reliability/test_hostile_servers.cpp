// Links to servers that refuse, fail, stay silent, talk nonsense or stop in
// the middle: the player gives up with the link and the reason, stays
// usable, and its end-of-entry logic is not led astray.
#include "reliability/HostileServer.h"
#include "reliability/RealPlayer.h"

#include <QElapsedTimer>

using namespace std::chrono_literals;

namespace {

using HostileServers = RealPlayer;

TEST_F(HostileServers, BrokenServersAreReportedAndSkipped) {
    HostileServer notFound(HostileServer::Behaviour::NotFound);
    HostileServer garbage(HostileServer::Behaviour::Garbage);
    HostileServer garbageBody(HostileServer::Behaviour::GarbageBody);
    const struct {
        const char *what;
        QString link;
        const char *reason;
    } cases[] = {
        {"connection refused", QStringLiteral("http://127.0.0.1:%1/clip.mp4").arg(RefusingPort()),
         "Connection refused"},
        {"404", notFound.url(QStringLiteral("clip.mp4")), "HTTP error 404 Not Found"},
        {"no HTTP at all", garbage.url(QStringLiteral("clip.mp4")),
         "The server did not give a valid answer"},
        {"random bytes for a body", garbageBody.url(QStringLiteral("clip.mp4")),
         "Unrecognized file format"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        expectNextReports(c.link, c.reason);
    }
}

// The engine's network timeout is 10 s; open() blocks until then, and the
// user can go on afterwards.
TEST_F(HostileServers, SilentServerIsGivenUpWithinTheNetworkTimeout) {
    HostileServer silent(HostileServer::Behaviour::Silent);
    const QString link = silent.url(QStringLiteral("clip.mp4"));
    startWith(link);
    QElapsedTimer waited;
    waited.start();
    clickNext();
    const qint64 elapsed = waited.elapsed();
    EXPECT_GE(silent.connections(), 1);
    EXPECT_LE(elapsed, 15'000) << "gave up only after " << elapsed << " ms";
    EXPECT_EQ(dialogs.shown,
              QStringList{QStringLiteral("report: Cannot play \"%1\". The server did not answer "
                                         "in time")
                              .arg(link)});
    EXPECT_FALSE(engine.hasMedia());

    // Next works and the window closes, as ever.
    clickNext();
    EXPECT_EQ(engine.fileName(), last());
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_TRUE(Form1->close());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(dialogs.shown.size(), 1) << dialogs.shown.join(u'\n').toStdString();
}

// The server promises the whole file and stops at 40 %. The entry ends
// early (or fails); the end check then moves on to the next entry, once.
TEST_F(HostileServers, ServerThatStopsMidFileEndsTheEntry) {
    const QByteArray tone = ReadBytes(Media("tone.wav"));
    HostileServer cutOff(HostileServer::Behaviour::CutOff, tone, tone.size() * 2 / 5);
    const QString link = cutOff.url(QStringLiteral("tone.wav"));
    WriteDocuments({link, first(), last()}, 0);
    before = DocumentFiles::read();
    CreateForms(&engine);
    ASSERT_TRUE(ShowMainForm());
    Form1->bPause->click(); // plays the restored entry
    ASSERT_EQ(engine.fileName(), link) << dialogs.shown.join(u'\n').toStdString();

    // The real timers run: the tick moves the bar, the end check follows.
    QStringList played{link};
    const bool movedOn = WaitUntil(
        [&] {
            if (engine.fileName() != played.last() && !engine.fileName().isEmpty())
                played << engine.fileName();
            return played.size() > 1;
        },
        30s);
    EXPECT_TRUE(movedOn) << "still at " << engine.fileName().toStdString() << ", position "
                         << engine.currentTime() << " of " << engine.duration();
    EXPECT_EQ(played, QStringList({link, first()}));
    EXPECT_EQ(Form1->state().iiCheck.text(), "1");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(u'\n').toStdString();
    EXPECT_TRUE(DocumentFiles::read() == before);
}

} // namespace

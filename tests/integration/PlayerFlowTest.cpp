// The playback commands over the real engine: a playlist played through to
// its end, pause and seek, links from a loopback server, and open errors.
#include "app/Errors.h"
#include "engine/MpvEngine.h"
#include "integration/IntegrationSupport.h"
#include "integration/MediaServer.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class PlayerFlow : public ::testing::Test {
protected:
    MpvEngine engine{MpvEngine::Options{true}};
    PlayerState state;
    FakeDialogs dialogs;
    Player player{state, engine};

    void setList(const QStringList &entries) {
        state.list.setEntries(entries, TextEncoding::Plain);
    }
    // The two timers, run together every 100 ms until the condition holds.
    // The end check runs on every tick here; it does nothing before the end.
    bool runUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = 15s) {
        return WaitUntil(
            [&] {
                RunHandler([&] {
                    player.Tick();
                    player.EndCheck();
                });
                return done();
            },
            timeout);
    }
};

TEST_F(PlayerFlow, PlaysThroughTheListSkippingAMissingEntryAndStopsAtItsEnd) {
    setList({MediaFile("tone.wav"), MediaDir() + "/missing.mp3", MediaFile("clip.mp4")});
    state.iiCheck.setIndex(0);
    state.nextRL.setIndex(0);
    state.list.selectRow(0);

    player.PlayPauseClick();
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : tone");
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_NEAR(double(state.bar.max()), double(Seconds(2)), double(Seconds(0.1)));

    ASSERT_TRUE(runUntil([&] { return state.iiCheck.text() == "2"; }));
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : clip (320x240px) Длительность 00:00:02");
    EXPECT_EQ(state.listCaption(), "Список воспроизведения. Играет 3 трек из 3");
    EXPECT_EQ(state.list.itemIndex(), 2);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << "the missing entry is skipped silently";

    ASSERT_TRUE(runUntil([&] { return !engine.hasMedia(); }));
    EXPECT_EQ(state.clock(), "00:00:00");
    EXPECT_EQ(state.pauseLook(), kPlayLook);
    EXPECT_EQ(state.pauseHint(), kPausedHint);
    EXPECT_FALSE(state.endCheckEnabled());
    EXPECT_EQ(state.iiCheck.text(), "2");
}

TEST_F(PlayerFlow, PauseKeepsThePositionAndTheBarSeeks) {
    setList({MediaFile("clip.mp4")});
    state.list.selectRow(0);
    player.PlaySelectedRow();
    ASSERT_TRUE(runUntil([&] { return engine.currentTime() > Seconds(0.3); }));
    player.PlayPauseClick(); // pauses
    EXPECT_EQ(engine.state(), MediaState::Stopped);
    EXPECT_EQ(state.pauseHint(), kPausedHint);
    const MediaTime paused = engine.currentTime();
    ProcessEventsFor(300ms);
    EXPECT_EQ(engine.currentTime(), paused);

    state.bar.setValue(float(Seconds(1.5))); // the user lets go of the thumb
    ASSERT_TRUE(
        WaitUntil([&] { return std::abs(engine.currentTime() - Seconds(1.5)) < Seconds(0.1); }));
    player.PlayPauseClick(); // resumes from there
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_EQ(state.pauseLook(), kPauseLook);
    ASSERT_TRUE(runUntil([&] { return state.clock() == "00:00:01"; }));
}

TEST_F(PlayerFlow, LinksFromALoopbackServer) {
    MediaServer server(MediaDir());
    const QString link = server.url("clip.mp4");
    ASSERT_TRUE(link.startsWith("http:"));
    setList({link});
    state.list.selectRow(0);
    player.PlaySelectedRow();
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер: " + link + " (320x240px) Длительность 00:00:02");

    player.OpenLink(link);
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер: " + link + " (320x240px)");
    EXPECT_EQ(engine.state(), MediaState::Playing);
}

TEST_F(PlayerFlow, OpenErrorsAreReportedClearly) {
    MediaServer server(MediaDir());
    const struct {
        QString entry;
        const char *reason;
    } cases[] = {
        {MediaFile("corrupt.mp4"), "Unrecognized file format"},
        {server.url("none.mp4"), "HTTP error 404"},
    };
    for (const auto &c : cases) {
        setList({c.entry});
        state.list.selectRow(0);
        dialogs.shown.clear();
        RunHandler([&] { player.PlaySelectedRow(); });
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(dialogs.shown.first().startsWith("report: Cannot play \"" + c.entry + "\". " +
                                                     c.reason))
            << dialogs.shown.first().toStdString();
        EXPECT_FALSE(engine.hasMedia());
        EXPECT_EQ(state.iiCheck.text(), "0") << "the failed row stays the current entry";
    }
}

} // namespace

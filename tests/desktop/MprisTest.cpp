// The MPRIS interface, called over a real session bus: ctest runs this
// program under dbus-run-session, so every test has a private bus.
#include "desktop/MprisClient.h"

#include "app/Application.h"
#include "app/Mpris.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The windows over the fake engine with a restored playlist of three files,
// published on the test's bus.
class MprisBus : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    std::unique_ptr<FakeEngine> engineHolder;
    std::unique_ptr<Mpris> mpris;
    QStringList songs;
    MprisClient bus;

    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "no session bus: run the tests under dbus-run-session";
        for (const char *name : {"Первая песня.mp3", "Second.wav", "Third.mp4"}) {
            songs << TestDocuments() + "/" + name;
            WriteBytes(songs.last(), "x");
        }
        start();
    }
    void TearDown() override {
        mpris.reset();
        DestroyForms();
    }

    // A fresh start from the same files.
    void start() {
        mpris.reset();
        if (Form1)
            DestroyForms();
        WriteBytes(TestDocuments() + "/Velpa.Player.listbox.ini",
                   (songs.join("\r\n") + "\r\n").toUtf8());
        engineHolder = std::make_unique<FakeEngine>();
        engine().media[songs[1]] = {123'456'780, VideoSize{}, {}};
        CreateForms(engineHolder.get());
        ASSERT_TRUE(ShowMainForm());
        // Steps are taken by the tests, not by the clock.
        Form1->Timer1->stop();
        Form1->Timer2->stop();
        engine().calls.clear();
        dialogs.shown.clear();
        mpris = std::make_unique<Mpris>(*Form1);
        ASSERT_TRUE(mpris->publish(QDBusConnection::sessionBus()));
    }
    FakeEngine &engine() { return *engineHolder; }
    PlayerState &state() { return Form1->state(); }

    // A user's step in the windows.
    void perform(const QString &step) {
        if (step == "bPause")
            Form1->bPause->click();
        else if (step == "bNext")
            Form1->bNext->click();
        else if (step == "bPrevious")
            Form1->bPrevious->click();
        else if (step == "Space")
            Form1->FormKeyDown(Qt::Key_Space);
        else if (step == "Tick")
            Form1->Timer1Timer();
        else if (step == "End") { // the entry plays to its end and the checks see it
            engine().playToEnd();
            Form1->Timer1Timer();
            Form1->Timer2Timer();
        } else
            ADD_FAILURE() << "unknown step " << step.toStdString();
    }

    // Everything a press of a button can change.
    QStringList outcome() {
        PlayerState &s = state();
        return engine().calls + QStringList{s.mainCaption(),
                                            s.listCaption(),
                                            s.pauseLook(),
                                            s.pauseHint(),
                                            s.iiCheck.text(),
                                            s.nextRL.text(),
                                            QString::number(s.list.itemIndex()),
                                            s.list.allEntries().join('|'),
                                            dialogs.shown.join('|')};
    }
};

// --- each method is the press of a button ------------------------------------

struct MethodCase {
    const char *what;
    QStringList before; // steps taken first
    const char *method;
    const char *button; // the step the method stands for; empty: nothing happens
};

class MethodIsAButton : public MprisBus, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(MethodIsAButton, AndChangesWhatThePressChanges) {
    const MethodCase &c = GetParam();
    for (const QString &step : c.before)
        perform(step);
    engine().calls.clear();
    if (*c.button)
        perform(QString::fromLatin1(c.button));
    const QStringList byButton = outcome();

    start();
    for (const QString &step : c.before)
        perform(step);
    engine().calls.clear();
    const QDBusMessage reply = bus.call(kMprisPlayerInterface, QString::fromLatin1(c.method));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(outcome(), byButton);
}

INSTANTIATE_TEST_SUITE_P(
    Mpris, MethodIsAButton,
    ::testing::Values(
        MethodCase{"PlayPauseStarts", {}, "PlayPause", "bPause"},
        MethodCase{"PlayPausePauses", {"bPause"}, "PlayPause", "bPause"},
        MethodCase{"PlayPauseResumesAfterSpace", {"bPause", "Space"}, "PlayPause", "bPause"},
        MethodCase{"PlayStarts", {}, "Play", "bPause"},
        MethodCase{"PlayResumes", {"bPause", "bPause"}, "Play", "bPause"},
        MethodCase{"PlayResumesAfterSpace", {"bPause", "Space"}, "Play", "bPause"},
        MethodCase{"PlayWhilePlaying", {"bPause"}, "Play", ""},
        MethodCase{"PlayAfterTheListEnded", {"bPause", "bNext", "bNext", "End"}, "Play", "bPause"},
        MethodCase{"PausePauses", {"bPause"}, "Pause", "bPause"},
        MethodCase{"PauseWhilePaused", {"bPause", "bPause"}, "Pause", ""},
        MethodCase{"PauseAfterSpace", {"bPause", "Space"}, "Pause", ""},
        MethodCase{"PauseBeforeAnyStart", {}, "Pause", ""},
        MethodCase{"StopPauses", {"bPause"}, "Stop", "bPause"},
        MethodCase{"StopWhilePaused", {"bPause", "bPause"}, "Stop", ""},
        MethodCase{"Next", {"bPause"}, "Next", "bNext"},
        MethodCase{"NextBeforeAnyStart", {}, "Next", "bNext"},
        MethodCase{"NextOnTheDisabledButton", {"bPause", "bNext", "bNext", "Tick"}, "Next", ""},
        MethodCase{"Previous", {"bPause", "bNext"}, "Previous", "bPrevious"},
        MethodCase{"PreviousOnTheFirstRow", {"bPause"}, "Previous", "bPrevious"}),
    [](const auto &info) { return std::string(info.param.what); });

TEST_F(MprisBus, NextIsDisabledExactlyWhenTheButtonIs) {
    for (const char *step : {"bPause", "Tick", "bNext", "Tick", "bNext", "Tick"}) {
        perform(step);
        EXPECT_EQ(bus.property("CanGoNext").toBool(), Form1->bNext->isEnabled()) << step;
    }
    EXPECT_FALSE(Form1->bNext->isEnabled()) << "the last row";
    state().setRepeat(true);
    perform("Tick");
    EXPECT_TRUE(bus.property("CanGoNext").toBool());
}

TEST_F(MprisBus, AnErrorIsReportedAsTheButtonReportsItAndTheCallStillAnswers) {
    engine().media[songs[0]].error = "Cannot open Первая песня.mp3";
    const QDBusMessage reply = bus.call(kMprisPlayerInterface, "PlayPause");
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(dialogs.shown, QStringList{"report: Cannot open Первая песня.mp3"});
}

TEST_F(MprisBus, NothingHappensWhileAModalBoxIsOpen) {
    QDialog box(Form1);
    box.setModal(true);
    box.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &box);
    for (const char *method : {"PlayPause", "Play", "Next", "Previous", "OpenUri"}) {
        const QVariantList args =
            QString(method) == "OpenUri" ? QVariantList{songs[2]} : QVariantList{};
        EXPECT_EQ(bus.call(kMprisPlayerInterface, method, args).type(), QDBusMessage::ReplyMessage);
    }
    EXPECT_TRUE(bus.setProperty("Volume", 0.1));
    bus.call(kMprisRootInterface, "Quit");
    EXPECT_TRUE(engine().calls.isEmpty());
    EXPECT_FLOAT_EQ(state().volume(), 0.5f);
    EXPECT_TRUE(Form1->isVisible());

    box.hide();
    bus.call(kMprisPlayerInterface, "PlayPause");
    EXPECT_EQ(engine().fileName(), songs[0]);
}

TEST_F(MprisBus, OpenUriPlaysAFileAsTheOpenFileCommandAndLeavesThePlaylist) {
    const QString uri = QUrl::fromLocalFile(songs[2]).toString(QUrl::FullyEncoded);
    bus.call(kMprisPlayerInterface, "OpenUri", {uri});
    EXPECT_EQ(engine().fileName(), songs[2]);
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер : Third Длительность 00:00:02");
    EXPECT_EQ(state().list.allEntries(), songs);
    EXPECT_EQ(bus.metadata().value("xesam:title").toString(), "Third");
}

// --- properties --------------------------------------------------------------

TEST_F(MprisBus, PlaybackStatusFollowsThePlayButton) {
    EXPECT_EQ(bus.property("PlaybackStatus").toString(), "Stopped");
    const struct {
        const char *step;
        const char *status;
    } steps[] = {
        {"bPause", "Playing"}, {"Space", "Paused"},   {"Space", "Playing"},
        {"bPause", "Paused"},  {"bPause", "Playing"}, {"bNext", "Playing"},
        {"bNext", "Playing"},  {"End", "Stopped"},    {"bPause", "Playing"},
    };
    for (const auto &s : steps) {
        perform(s.step);
        EXPECT_EQ(bus.property("PlaybackStatus").toString(), s.status) << s.step;
    }
}

TEST_F(MprisBus, MetadataNamesWhatTheCaptionNames) {
    const QVariantMap idle = bus.metadata();
    EXPECT_EQ(idle.keys(), QStringList{"mpris:trackid"});
    EXPECT_EQ(idle.value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");

    perform("bPause");
    const QVariantMap first = bus.metadata();
    EXPECT_EQ(first.value("xesam:title").toString(), "Первая песня");
    EXPECT_EQ(first.value("mpris:length").toLongLong(), 2'000'000) << "microseconds";

    perform("bNext");
    const QVariantMap second = bus.metadata();
    EXPECT_EQ(second.value("xesam:title").toString(), "Second");
    // The bar keeps the duration in single precision, as the window shows it.
    EXPECT_EQ(second.value("mpris:length").toLongLong(), 12'345'678);
    EXPECT_NE(second.value("mpris:trackid").value<QDBusObjectPath>().path(),
              first.value("mpris:trackid").value<QDBusObjectPath>().path());

    bus.call(kMprisPlayerInterface, "OpenUri", {"http://h/live.mp3"});
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер: http://h/live.mp3 (0x0px)");
    EXPECT_EQ(bus.metadata().value("xesam:title").toString(), "http://h/live.mp3");
}

TEST_F(MprisBus, VolumeIsTheVolumeBarTurnedRound) {
    EXPECT_DOUBLE_EQ(bus.property("Volume").toDouble(), 0.5);
    perform("bPause");
    const struct {
        double set;
        float bar;
        double read;
    } cases[] = {{0.25, 0.75f, 0.25},
                 {1.0, 0.0f, 1.0},
                 {1.5, 0.0f, 1.0},
                 {-0.5, 1.0f, 0.0},
                 {0.0, 1.0f, 0.0}};
    for (const auto &c : cases) {
        ASSERT_TRUE(bus.setProperty("Volume", c.set)) << c.set;
        EXPECT_FLOAT_EQ(state().volume(), c.bar) << c.set;
        EXPECT_FLOAT_EQ(engine().volume(), 1.0f - c.bar) << "the bar's change handler ran";
        EXPECT_DOUBLE_EQ(bus.property("Volume").toDouble(), c.read) << c.set;
    }
    state().setVolume(0.875f); // the user moves the bar
    EXPECT_DOUBLE_EQ(bus.property("Volume").toDouble(), 0.125);
}

TEST_F(MprisBus, ChangesAreAnnouncedOnTheBus) {
    ChangeRecorder changes(bus.connection());
    bus.call(kMprisPlayerInterface, "PlayPause");
    ASSERT_TRUE(changes.waitFor("PlaybackStatus", "Playing"));
    ASSERT_TRUE(changes.waitFor("Metadata"));
    EXPECT_EQ(qdbus_cast<QVariantMap>(changes.last("Metadata")).value("xesam:title").toString(),
              "Первая песня");

    state().setVolume(0.75f);
    ASSERT_TRUE(changes.waitFor("Volume"));
    EXPECT_DOUBLE_EQ(changes.last("Volume").toDouble(), 0.25);

    perform("bNext");
    perform("bNext");
    perform("Tick");
    ASSERT_TRUE(changes.waitFor("CanGoNext", false));

    Form1->bPause->click();
    ASSERT_TRUE(changes.waitFor("PlaybackStatus", "Paused"));
}

TEST_F(MprisBus, TheRootInterfaceDescribesTheApplication) {
    EXPECT_EQ(bus.property("Identity", kMprisRootInterface).toString(), "Velpa Player");
    EXPECT_EQ(bus.property("DesktopEntry", kMprisRootInterface).toString(), "velpa-player");
    EXPECT_TRUE(bus.property("CanQuit", kMprisRootInterface).toBool());
    EXPECT_TRUE(bus.property("CanRaise", kMprisRootInterface).toBool());
    EXPECT_FALSE(bus.property("HasTrackList", kMprisRootInterface).toBool());
    EXPECT_EQ(bus.property("SupportedUriSchemes", kMprisRootInterface).toStringList(),
              QStringList({"file", "http"}));
    const QVariantMap all = bus.allProperties(kMprisPlayerInterface);
    for (const char *name : {"CanPlay", "CanPause", "CanControl", "CanGoPrevious"})
        EXPECT_TRUE(all.value(name).toBool()) << name;
    EXPECT_FALSE(all.value("CanSeek").toBool());
    EXPECT_DOUBLE_EQ(all.value("Rate").toDouble(), 1.0);
    EXPECT_EQ(all.value("Position").toLongLong(), 0);
}

TEST_F(MprisBus, RaiseBringsTheMainWindowBack) {
    Form1->showMinimized();
    bus.call(kMprisRootInterface, "Raise");
    EXPECT_FALSE(Form1->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(MprisBus, QuitIsTheExitButton) {
    const QString settings = TestDocuments() + "/Velpa.Player.settings.ini";
    WriteBytes(settings, "[Form]\r\nTop=-7\r\n");
    bus.call(kMprisRootInterface, "Quit");
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(ReadBytes(settings).contains("Top=" + QByteArray::number(Form1->top())))
        << "the main window's close wrote its settings";
}

// --- the name on the bus -------------------------------------------------------

TEST_F(MprisBus, TakesTheWellKnownNameAndASecondPlayerAnInstanceName) {
    EXPECT_EQ(mpris->serviceName(), "org.mpris.MediaPlayer2.velpa");
    EXPECT_TRUE(bus.connection().interface()->isServiceRegistered(kMprisServiceName).value());

    const QString second = QStringLiteral("velpa-second-player");
    {
        Mpris other(*Form1);
        ASSERT_TRUE(
            other.publish(QDBusConnection::connectToBus(QDBusConnection::SessionBus, second)));
        const QString instance =
            kMprisServiceName + ".instance" + QString::number(QApplication::applicationPid());
        EXPECT_EQ(other.serviceName(), instance);
        EXPECT_TRUE(bus.connection().interface()->isServiceRegistered(instance).value());
    }
    QDBusConnection::disconnectFromBus(second);

    mpris.reset();
    EXPECT_FALSE(bus.connection().interface()->isServiceRegistered(kMprisServiceName).value())
        << "the name goes with the player";
}

TEST_F(MprisBus, WithoutABusNothingIsPublishedAndThePlayerWorksOn) {
    mpris.reset();
    Mpris offline(*Form1);
    EXPECT_FALSE(offline.publish(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "velpa-none")));
    EXPECT_TRUE(offline.serviceName().isEmpty());
    QDBusConnection::disconnectFromBus("velpa-none");
    perform("bPause");
    EXPECT_EQ(engine().fileName(), songs[0]);
}

} // namespace

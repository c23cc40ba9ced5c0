#include "app/Application.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/FakeFileDialogs.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/StyledButton.h"
#include "ui/TrackBar.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    OneFile files;
    QString song;

    void SetUp() override {
        SetFileDialogs(&files);
        song = TestDocuments() + "/Song.mp3";
        WriteBytes(song, "x");
        WriteBytes(TestDocuments() + "/Velpa.Player.listbox.ini", (song + "\r\n").toUtf8());
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
    }
    void TearDown() override {
        DestroyForms();
        SetFileDialogs(nullptr);
    }
    static void key(QWidget *target, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, k == Qt::Key_Space ? " " : "");
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, k == Qt::Key_Space ? " " : "");
        QApplication::sendEvent(target, &release);
    }
};

TEST_F(MainWindow, PlayButtonStartsTheRestoredEntryAndShowsIt) {
    Form1->bPause->click();
    EXPECT_EQ(engine.fileName(), song);
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер : Song");
    EXPECT_EQ(Form2->windowTitle(), "Список воспроизведения. Играет 1 трек из 1");
    EXPECT_EQ(Form1->bPause->styleLookup(), "pausetoolbuttonbordered");

    engine.advanceTo(12'340'000);
    Form1->Timer1Timer();
    EXPECT_EQ(Form1->cTime->text(), "00:00:01");
    EXPECT_FALSE(Form1->bNext->isEnabled()) << "the only row is the last one";
    EXPECT_GT(Form1->TrackBar1->value(), 0);
    EXPECT_EQ(QApplication::focusWidget() == Form1->bPause || !Form1->isActiveWindow(), true);

    Form1->bPause->click();
    EXPECT_EQ(engine.state(), MediaState::Stopped);
    EXPECT_EQ(Form1->bPause->styleLookup(), "playtoolbuttonbordered");
    EXPECT_EQ(Form1->bPause->toolTip(), "Пауза");
}

TEST_F(MainWindow, SpaceTogglesOnceWhereverTheFocusIs) {
    Form1->bPause->click();
    for (QWidget *focus :
         {static_cast<QWidget *>(Form1->bPause), static_cast<QWidget *>(Form1->VolumeBar),
          static_cast<QWidget *>(Form1->bNext)}) {
        key(focus, Qt::Key_Space);
        EXPECT_EQ(engine.state(), MediaState::Stopped) << focus->objectName().toStdString();
        key(focus, Qt::Key_Space);
        EXPECT_EQ(engine.state(), MediaState::Playing) << focus->objectName().toStdString();
    }
    EXPECT_EQ(engine.calls.filter("open").size(), 1) << "Space never starts an entry";
}

TEST_F(MainWindow, OpenFileAndTheBars) {
    files.file = TestDocuments() + "/Clip.mp4";
    engine.media[files.file] = {20'000'000, {320, 240}, {}};
    Form1->bOpen->click();
    EXPECT_EQ(engine.fileName(), files.file);
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер : Clip (320x240px) Длительность 00:00:02");
    EXPECT_EQ(Form1->height(), 366) << "a small video leaves the window at its minimum";

    // The user lets go of the position thumb half way: a seek.
    engine.calls.clear();
    emit Form1->TrackBar1->userChanged(10'000'000.0f);
    EXPECT_EQ(engine.calls, QStringList{"seek 10000000"});

    // The volume bar: the player's volume is 1 minus its value.
    emit Form1->VolumeBar->userChanged(0.25f);
    EXPECT_FLOAT_EQ(engine.volume(), 0.75f);
    EXPECT_FLOAT_EQ(Form1->state().volume(), 0.25f);
}

TEST_F(MainWindow, DoubleClickOnARowPlaysIt) {
    Form2->show();
    Form2->state().list.selectRow(0);
    emit Form2->ListView->doubleClicked(Form2->state().list.index(0));
    EXPECT_EQ(engine.fileName(), song);
    EXPECT_EQ(Form2->iiCheck->text(), "0");
    EXPECT_EQ(Form1->nextRL->text(), "0");
}

TEST_F(MainWindow, AnOpenErrorIsReportedAndTheProgramGoesOn) {
    engine.media[song].error = "Cannot play \"" + song + "\". Unrecognized file format";
    Form1->bPause->click();
    EXPECT_EQ(dialogs.shown, QStringList{"report: " + engine.media[song].error});
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_TRUE(Form1->isVisible());
}

} // namespace

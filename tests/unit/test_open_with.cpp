#include "app/Application.h"
#include "app/Errors.h"
#include "app/OpenWith.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/FakeFileDialogs.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace {

struct ArgumentCase {
    const char *argument;
    const char *workingDir;
    const char *entry;
};

// Names the case by its argument in test lists.
void PrintTo(const ArgumentCase &c, std::ostream *os) {
    *os << c.argument;
}

class ArgumentForms : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentForms, BecomeEntriesAsThePlayerKeepsThem) {
    const ArgumentCase &c = GetParam();
    EXPECT_EQ(EntryFromArgument(QString::fromUtf8(c.argument), QString::fromUtf8(c.workingDir)),
              QString::fromUtf8(c.entry));
}

INSTANTIATE_TEST_SUITE_P(
    OpenWith, ArgumentForms,
    ::testing::Values(
        // A file manager's %U: "file:" URIs, percent-encoded.
        ArgumentCase{"file:///home/u/M%C3%BAsica/a%20b.mp3", "/w", "/home/u/Música/a b.mp3"},
        ArgumentCase{"file:///tmp/%D0%BF%D0%B5%D1%81%D0%BD%D1%8F.wav", "/w", "/tmp/песня.wav"},
        // Links are kept exactly, as the link window takes them.
        ArgumentCase{"http://host/a%20b.mp3?x=1", "/w", "http://host/a%20b.mp3?x=1"},
        ArgumentCase{"https://host/a.mp3", "/w", "https://host/a.mp3"},
        ArgumentCase{"smb://host/share/a.mp3", "/w", "smb://host/share/a.mp3"},
        // Paths from a shell: relative ones are taken from the working folder.
        ArgumentCase{"/abs/a.mp3", "/w", "/abs/a.mp3"}, ArgumentCase{"a.mp3", "/w/x", "/w/x/a.mp3"},
        ArgumentCase{"../y/./a.mp3", "/w/x", "/w/y/a.mp3"},
        ArgumentCase{"Музыка/песня.mp3", "/w", "/w/Музыка/песня.mp3"},
        // A colon alone makes no scheme: that is a file name.
        ArgumentCase{"a:b.mp3", "/w", "/w/a:b.mp3"},
        ArgumentCase{"http-talk.mp3", "/w", "/w/http-talk.mp3"}));

TEST(OpenWith, OnlyTheFirstArgumentCounts) {
    EXPECT_EQ(OpenWithEntry({}, "/w"), "");
    EXPECT_EQ(OpenWithEntry({"b.mp3", "a.mp3", "http://h/c.mp3"}, "/w"), "/w/b.mp3");
    EXPECT_EQ(OpenWithEntry({"http://h/c.mp3", "a.mp3"}, "/w"), "http://h/c.mp3");
}

// The windows over the fake engine, with a restored two-row playlist.
class OpenWithPlayer : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    std::unique_ptr<FakeEngine> engineHolder;
    QString song, other;
    QStringList listFile;

    void SetUp() override {
        song = TestDocuments() + "/Song.mp3";
        other = TestDocuments() + "/Other.mp4";
        WriteBytes(song, "x");
        WriteBytes(other, "x");
        listFile = {song, "http://h/radio.mp3"};
        start();
    }
    void TearDown() override { DestroyForms(); }

    // A fresh start from the same files.
    void start() {
        if (Form1)
            DestroyForms();
        WriteBytes(TestDocuments() + "/Velpa.Player.listbox.ini",
                   (listFile.join("\r\n") + "\r\n").toUtf8());
        engineHolder = std::make_unique<FakeEngine>();
        engine().media[other] = {50'000'000, VideoSize{640, 360}, {}};
        CreateForms(engineHolder.get());
        ASSERT_TRUE(ShowMainForm());
        engine().calls.clear();
    }
    FakeEngine &engine() { return *engineHolder; }
    PlayerState &state() { return Form1->state(); }

    // What a start changes: the engine's calls and what the windows show.
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
                                            QString::number(double(s.bar.max())),
                                            dialogs.shown.join('|')};
    }
};

TEST_F(OpenWithPlayer, AFilePlaysExactlyAsTheOpenFileCommandPlaysIt) {
    PlayOpenedEntry(Form1->player(), other);
    EXPECT_EQ(engine().fileName(), other);
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер : Other (640x360px) Длительность 00:00:05");
    EXPECT_EQ(state().list.allEntries(), listFile) << "the playlist stays as it is";
    const QStringList opened = outcome();

    start();
    OneFile files;
    files.file = other;
    SetFileDialogs(&files);
    Form1->bOpenClick();
    SetFileDialogs(nullptr);
    EXPECT_EQ(outcome(), opened);
}

TEST_F(OpenWithPlayer, ALinkOpensExactlyAsTheLinkWindowOpensIt) {
    PlayOpenedEntry(Form1->player(), "http://h/live.mp3");
    EXPECT_EQ(engine().fileName(), "http://h/live.mp3");
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер: http://h/live.mp3 (0x0px)");
    EXPECT_EQ(state().list.allEntries(), listFile);
    const QStringList opened = outcome();

    start();
    Form1->bURLClick();
    Form4->Edit1->setText("http://h/live.mp3");
    Form4->Button1Click();
    EXPECT_EQ(outcome(), opened);
}

TEST_F(OpenWithPlayer, WhatCannotPlayIsReportedAsElsewhereAndNothingStarts) {
    const QString missing = TestDocuments() + "/gone.mp3";
    const struct {
        QString entry;
        QString shown;
    } cases[] = {
        {"https://h/a.mp3", "error: HTTPS не поддерживается, только HTTP."},
        {missing, "information: Файл " + missing + " не найден."},
        {TestDocuments(), "information: Файл " + TestDocuments() + " не найден."},
        {"smb://h/a.mp3", "information: Файл smb://h/a.mp3 не найден."},
    };
    for (const auto &c : cases) {
        dialogs.shown.clear();
        const QStringList before = outcome();
        PlayOpenedEntry(Form1->player(), c.entry);
        EXPECT_EQ(dialogs.shown, QStringList{c.shown}) << c.entry.toStdString();
        EXPECT_TRUE(engine().calls.isEmpty()) << c.entry.toStdString();
        dialogs.shown.clear();
        EXPECT_EQ(outcome(), before) << c.entry.toStdString();
    }
}

TEST_F(OpenWithPlayer, AnEngineErrorEndsItAsItEndsTheOpenFileCommand) {
    engine().media[other].error = "Cannot open Other.mp4";
    EXPECT_THROW(PlayOpenedEntry(Form1->player(), other), AppError);
    EXPECT_FALSE(engine().hasMedia());
}

TEST_F(OpenWithPlayer, TheFirstArgumentPlaysOnceTheEventLoopRuns) {
    PlayArgumentsOnceStarted({"Other.mp4", song}, TestDocuments());
    EXPECT_TRUE(engine().calls.isEmpty()) << "not before start-up is over";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(engine().calls.filter("open "), QStringList{"open " + other});
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер : Other (640x360px) Длительность 00:00:05");
    EXPECT_EQ(state().list.allEntries(), listFile);
}

TEST_F(OpenWithPlayer, WithoutArgumentsNothingHappens) {
    const QStringList before = outcome();
    PlayArgumentsOnceStarted({}, TestDocuments());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(outcome(), before);
    EXPECT_EQ(state().mainCaption(), "Велпа.Плеер ");
}

TEST_F(OpenWithPlayer, AnErrorIsReportedAsAButtonPressWouldReportIt) {
    engine().media[other].error = "Cannot open Other.mp4";
    PlayArgumentsOnceStarted({other}, "/");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialogs.shown, QStringList{"report: Cannot open Other.mp4"});
}

} // namespace

#pragma once

// The real start-up over the real engine (without outputs), as the player
// runs it: the windows are made with CreateForms, the restore sequence runs
// in ShowMainForm, and the commands go through the buttons and handlers as a
// click does. The message boxes and the file dialog are answered by fakes.
#include "app/Application.h"
#include "engine/MpvEngine.h"
#include "integration/IntegrationSupport.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "reliability/ReliabilitySupport.h"
#include "support/FakeDialogs.h"
#include "support/FakeFileDialogs.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

inline QString Media(const char *name) {
    return MediaFile(QString::fromLatin1(name));
}

inline QString Place(const QString &relative, const QByteArray &bytes) {
    const QString path = TestHome() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteBytes(path, bytes);
    return path;
}

inline QString PlaceMedia(const QString &relative, const char *media) {
    return Place(relative, ReadBytes(Media(media)));
}

class RealPlayer : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    OneFile files;
    WorkingFolder here;
    MpvEngine engine{MpvEngine::Options{.nullOutputs = true}};
    DocumentFiles before;

    void SetUp() override { SetFileDialogs(&files); }
    void TearDown() override {
        SetFileDialogs(nullptr);
        if (Form1)
            DestroyForms();
    }

    static QString first() { return Media("tone.wav"); }
    static QString last() { return Media("tone.mp3"); }

    // A playlist of three, first(), the entry and last(), with the first
    // one current, as an earlier run left it; then the real start-up.
    void startWith(const QString &entry) {
        WriteDocuments({first(), entry, last()}, 0);
        before = DocumentFiles::read();
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
        ASSERT_EQ(Form1->state().iiCheck.text(), "0");
    }

    void clickNext() { Form1->bNext->click(); }

    // Still running: a double click on the last row plays it, nothing else
    // was said, and neither file changed.
    void expectStillRunning() {
        const qsizetype said = dialogs.shown.size();
        Form1->state().list.selectRow(2);
        RunHandler([] { Form2->ListBox1DblClick(); });
        EXPECT_EQ(engine.fileName(), last());
        EXPECT_EQ(engine.state(), MediaState::Playing);
        EXPECT_EQ(dialogs.shown.size(), said) << dialogs.shown.join(u'\n').toStdString();
        EXPECT_TRUE(Form1->isVisible());
        EXPECT_TRUE(DocumentFiles::read() == before) << "a file changed";
    }

    // Next from the first row reaches the entry, which cannot play: exactly
    // its report is shown, and the player goes on. Ends the windows again.
    void expectNextReports(const QString &entry, const char *reason) {
        startWith(entry);
        clickNext();
        EXPECT_EQ(dialogs.shown, QStringList{QStringLiteral("report: Cannot play \"%1\". %2")
                                                 .arg(entry, QString::fromLatin1(reason))});
        EXPECT_FALSE(engine.hasMedia());
        expectStillRunning();
        DestroyForms();
        dialogs.shown.clear();
    }
};

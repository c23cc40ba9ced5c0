#include "app/Application.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/FakeFileDialogs.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

class PlaylistWindow : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    ScriptedFiles files;

    void SetUp() override {
        SetFileDialogs(&files);
        WriteBytes(TestDocuments() + "/Velpa.Player.listbox.ini",
                   "/m/a.mp3\r\n/m/B.MP3\r\n/m/c.wav\r\nhttp://h/d.mp3\r\n");
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
        Form2->show();
    }
    void TearDown() override {
        DestroyForms();
        SetFileDialogs(nullptr);
    }
    PlaylistModel &list() { return Form2->state().list; }
    QStringList visible() {
        QStringList out;
        for (int i = 0; i < list().count(); ++i)
            out << list().entry(i);
        return out;
    }
    void drag(int from, int to) {
        QWidget *vp = Form2->ListView->viewport();
        const QPoint a = Form2->ListView->visualRect(list().index(from)).center();
        const QPoint b = Form2->ListView->visualRect(list().index(to)).center();
        QMouseEvent press(QEvent::MouseButtonPress, a, vp->mapToGlobal(a), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &press);
        QMouseEvent move(QEvent::MouseMove, b, vp->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, b, vp->mapToGlobal(b), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &release);
    }
};

TEST_F(PlaylistWindow, DeleteAsksAndSetsTheIndex) {
    struct Case {
        bool yes;
        int selected;
        QStringList after;
        const char *iiCheck;
    };
    const QStringList all = list().allEntries();
    const Case cases[] = {
        {false, 1, all, "0"},
        {true, 1, {"/m/a.mp3", "/m/c.wav", "http://h/d.mp3"}, "2"},
        {true, -1, all, "2"}, // nothing selected: nothing deleted, the label still set
    };
    for (const auto &c : cases) {
        list().setEntries(all, TextEncoding::Plain);
        Form2->state().iiCheck.setIndex(0);
        list().selectRow(c.selected);
        dialogs.answers = {c.yes};
        dialogs.shown.clear();
        Form2->bDel->click();
        EXPECT_EQ(dialogs.shown, QStringList{"confirm: Удалить ?"});
        EXPECT_EQ(list().allEntries(), c.after);
        EXPECT_EQ(Form2->iiCheck->text(), c.iiCheck);
    }
    // On an empty list the question still comes; Yes gives "-2".
    list().setEntries({}, TextEncoding::Plain);
    dialogs.answers = {true};
    Form2->bDel->click();
    EXPECT_EQ(Form2->iiCheck->text(), "-2");
}

TEST_F(PlaylistWindow, ClearAsksOnlyWhenThereIsSomethingToClear) {
    Form2->state().iiCheck.setIndex(2);
    dialogs.answers = {false};
    Form2->bErase->click();
    EXPECT_EQ(list().count(), 4);
    dialogs.answers = {true};
    Form2->bErase->click();
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(Form2->iiCheck->text(), "2");
    dialogs.shown.clear();
    Form2->bErase->click();
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(PlaylistWindow, AddFilesAppendsInTheDialogsOrder) {
    list().selectRow(1);
    files.files = {"/x/5.mp3", "/x/1.mp3", "/x/3.mp3"};
    Form2->bApp->click();
    EXPECT_EQ(list().allEntries().mid(4), files.files);
    EXPECT_EQ(list().itemIndex(), 1);
    files.files.clear(); // cancelled
    Form2->bApp->click();
    EXPECT_EQ(list().count(), 7);
}

TEST_F(PlaylistWindow, SearchBoxFilters) {
    EXPECT_EQ(Form2->SearchBox1->text(), "Поиск ...");
    Form2->SearchBox1Click();
    EXPECT_EQ(Form2->SearchBox1->text(), "");
    Form2->SearchBox1Click(); // a second click leaves the empty box alone
    Form2->SearchBox1->setText(" mp3 ");
    EXPECT_EQ(visible(), QStringList({"/m/a.mp3", "/m/B.MP3", "http://h/d.mp3"}));
    Form2->SearchBox1Click();
    EXPECT_EQ(Form2->SearchBox1->text(), " mp3 ");

    Form2->FormKeyDown(Qt::Key_Escape);
    EXPECT_EQ(Form2->SearchBox1->text(), "Поиск ...");
    EXPECT_EQ(list().count(), 4);
    EXPECT_EQ(list().itemIndex(), -1);
    EXPECT_TRUE(Form2->isVisible()) << "Esc closes the window only in full screen";
}

TEST_F(PlaylistWindow, DragMovesRowsAlsoUnderASearch) {
    drag(0, 2);
    EXPECT_EQ(list().allEntries(),
              QStringList({"/m/B.MP3", "/m/c.wav", "/m/a.mp3", "http://h/d.mp3"}));
    EXPECT_EQ(list().itemIndex(), 2);

    Form2->SearchBox1->setText("mp3"); // rows B, a, d
    drag(2, 0);                        // d takes B's place in the full list
    EXPECT_EQ(list().allEntries(),
              QStringList({"http://h/d.mp3", "/m/B.MP3", "/m/c.wav", "/m/a.mp3"}));
    EXPECT_EQ(list().entry(list().itemIndex()), "http://h/d.mp3");
}

TEST_F(PlaylistWindow, KeysAndTheLinkButton) {
    Form2->FormKeyDown(Qt::Key_F12);
    EXPECT_FALSE(Form2->isVisible());
    Form1->FormKeyDown(Qt::Key_F12);
    EXPECT_TRUE(Form2->isVisible());

    Form2->bURL->click();
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->windowTitle(), "Добавить ссылку");
    EXPECT_EQ(Form4->Button1->styleLookup(), "addtoolbuttonbordered");
    Form4->Edit1->setText("typed");
    Form1->bURL->click(); // switches the open window to open mode, text kept
    EXPECT_EQ(Form4->windowTitle(), "Открыть ссылку");
    EXPECT_EQ(Form4->Button1->styleLookup(), "playtoolbuttonbordered");
    EXPECT_EQ(Form4->Edit1->text(), "typed");
    Form4->FormKeyDown(Qt::Key_Escape);
    EXPECT_FALSE(Form4->isVisible());
}

struct LinkCase {
    const char *text;
    bool addMode;
    const char *message; // "" for none
    bool added;
    bool played;
};

TEST_F(PlaylistWindow, LinkWindowPrefixes) {
    const LinkCase cases[] = {
        {"http://h/new.mp4", true, "", true, false},
        {"http://h/new.mp4", false, "", false, true},
        {"http:", true, "", true, false},
        {"https://h/x.mp4", true, "error: HTTPS не поддерживается, только HTTP.", false, false},
        {"https://h/x.mp4", false, "error: HTTPS не поддерживается, только HTTP.", false, false},
        {"HTTP://h/x.mp4", true, "", false, false},
        {" http://h/x.mp4", false, "", false, false},
        {"ftp://h/x", false, "", false, false},
        {"http", true, "", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        engine.clear();
        dialogs.shown.clear();
        const QStringList before = list().allEntries();
        list().selectRow(1);
        (c.addMode ? Form2->bURL : Form1->bURL)->click();
        Form4->Edit1->setText(c.text);
        Form4->Button1->click();
        EXPECT_FALSE(Form4->isVisible());
        EXPECT_EQ(dialogs.shown.join("|"), c.message);
        EXPECT_EQ(list().allEntries(), c.added ? before + QStringList{c.text} : before);
        EXPECT_EQ(list().itemIndex(), 1);
        EXPECT_EQ(engine.fileName(), c.played ? QString(c.text) : QString());
    }
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер: http://h/new.mp4 (0x0px)");
}

TEST_F(PlaylistWindow, LinkThatFailsToOpenLeavesTheWindowOpen) {
    engine.media["http://h/404.mp4"].error = "Cannot play \"http://h/404.mp4\". HTTP error 404";
    Form1->bURL->click();
    Form4->Edit1->setText("http://h/404.mp4");
    Form4->Button1->click();
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(dialogs.shown,
              QStringList{"report: Cannot play \"http://h/404.mp4\". HTTP error 404"});
}

TEST_F(PlaylistWindow, InformationWindowRefillsItsLinesAtEveryShowing) {
    for (int i = 0; i < 2; ++i) {
        Form1->bInfo->click();
        const QStringList lines = Form3->Memo1->toPlainText().split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], "");
        EXPECT_TRUE(lines[1].startsWith("  Работает под: ")) << lines[1].toStdString();
        EXPECT_TRUE(lines[1].contains("-bit Edition"));
        EXPECT_EQ(lines[2], "");
        EXPECT_TRUE(Form3->veksoURL->font().underline());
        Form3->bExit->click();
        EXPECT_FALSE(Form3->isVisible());
    }
    EXPECT_EQ(Form3->Label1->text(), "\"Велпа.Плеер для Windows\" версия продукта 1.0.8.4");
}

} // namespace

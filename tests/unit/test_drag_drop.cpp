#include "app/Application.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/FakeFileDialogs.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// What a drag source offers: local files and links as a URL list, or plain
// text when there is no URL list.
struct Drag {
    QStringList urls;
    QString text;
};

class DragAndDrop : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    ScriptedFiles files;
    QString a, b, c;
    QStringList listFile;

    void SetUp() override {
        a = TestDocuments() + "/A song.mp3";
        b = TestDocuments() + "/b.wav";
        c = TestDocuments() + "/Клип.mp4";
        for (const QString &f : {a, b, c})
            WriteBytes(f, "x");
        listFile = {"/m/first.mp3", "http://h/second.mp3"};
        WriteBytes(TestDocuments() + "/Velpa.Player.listbox.ini",
                   (listFile.join("\r\n") + "\r\n").toUtf8());
        SetFileDialogs(&files);
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
        Form2->show();
        engine.calls.clear();
    }
    void TearDown() override {
        DestroyForms();
        SetFileDialogs(nullptr);
    }
    PlaylistModel &list() { return Form2->state().list; }

    static QMimeData *mime(const Drag &drag) {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &u : drag.urls)
            urls << (u.startsWith('/') ? QUrl::fromLocalFile(u) : QUrl(u));
        if (!urls.isEmpty())
            data->setUrls(urls);
        if (!drag.text.isEmpty())
            data->setText(drag.text);
        return data;
    }

    // Enters the window and drops there, as Qt delivers a drag from another
    // application. Returns whether the window took the drop.
    static bool drop(QWidget *window, const Drag &drag) {
        std::unique_ptr<QMimeData> data(mime(drag));
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(window, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::LinkAction, data.get(), Qt::LeftButton,
                           Qt::NoModifier);
        dropped.ignore();
        QApplication::sendEvent(window, &dropped);
        return dropped.isAccepted();
    }
};

TEST_F(DragAndDrop, FilesDroppedOnThePlaylistAreAppendedAsBAppAppendsThem) {
    ASSERT_TRUE(drop(Form2, {{c, a, b}, {}}));
    EXPECT_EQ(list().allEntries(), (listFile + QStringList{c, a, b})) << "in the order of the drop";
    const QStringList dropped = list().allEntries();
    EXPECT_TRUE(engine.calls.isEmpty()) << "nothing plays";

    list().setEntries(listFile, TextEncoding::Plain);
    files.files = {c, a, b};
    Form2->bAppClick();
    EXPECT_EQ(list().allEntries(), dropped);
}

TEST_F(DragAndDrop, ALinkDroppedOnThePlaylistIsAppendedAsTheLinkWindowAddsIt) {
    ASSERT_TRUE(drop(Form2, {{"http://radio.example/live.mp3"}, {}}));
    const QStringList dropped = list().allEntries();
    EXPECT_EQ(dropped.last(), "http://radio.example/live.mp3");

    list().setEntries(listFile, TextEncoding::Plain);
    Form2->bURLClick();
    Form4->Edit1->setText("http://radio.example/live.mp3");
    Form4->Button1Click();
    EXPECT_EQ(list().allEntries(), dropped);
    EXPECT_TRUE(engine.calls.isEmpty());
}

TEST_F(DragAndDrop, ThePlaylistTakesWhatItCanPlayAndLeavesTheRest) {
    const QString missing = TestDocuments() + "/gone.mp3";
    const struct {
        const char *what;
        Drag drag;
        QStringList appended; // empty: the drop is refused
    } cases[] = {
        {"files and links mixed", {{a, "http://h/x.mp3", b}, {}}, {a, "http://h/x.mp3", b}},
        {"a link as selected text", {{}, "  http://h/y.mp3\n"}, {"http://h/y.mp3"}},
        {"several links as text",
         {{}, "http://h/1.mp3\nnot a link\nhttp://h/2.mp3"},
         {"http://h/1.mp3", "http://h/2.mp3"}},
        {"a URL list wins over its text", {{a}, "http://h/z.mp3"}, {a}},
        {"unplayable among playable", {{missing, a, "https://h/s.mp3", TestDocuments()}, {}}, {a}},
        {"https only", {{"https://h/s.mp3"}, {}}, {}},
        {"a folder", {{TestDocuments()}, {}}, {}},
        {"a missing file", {{missing}, {}}, {}},
        {"other schemes", {{"ftp://h/a.mp3", "smb://h/a.mp3"}, {}}, {}},
        {"plain words", {{}, "hello"}, {}},
    };
    for (const auto &c : cases) {
        list().setEntries(listFile, TextEncoding::Plain);
        EXPECT_EQ(drop(Form2, c.drag), !c.appended.isEmpty()) << c.what;
        EXPECT_EQ(list().allEntries(), listFile + c.appended) << c.what;
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(DragAndDrop, DropsWhileASearchIsInEffectShowTheMatchingRows) {
    Form2->SearchBox1->setText("song");
    ASSERT_TRUE(drop(Form2, {{b, a}, {}}));
    EXPECT_EQ(list().allEntries(), (listFile + QStringList{b, a}));
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().entry(0), a);
}

TEST_F(DragAndDrop, AFileDroppedOnTheMainWindowPlaysAsTheOpenFileCommandPlaysIt) {
    ASSERT_TRUE(drop(Form1, {{c, a}, {}}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(engine.calls.filter("open "), QStringList{"open " + c}) << "only the first plays";
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер : Клип Длительность 00:00:02");
    EXPECT_EQ(Form1->state().pauseLook(), "pausetoolbuttonbordered");
    EXPECT_EQ(list().allEntries(), listFile) << "the playlist stays as it is";
    EXPECT_EQ(Form2->windowTitle(), "Список воспроизведения.");
}

TEST_F(DragAndDrop, ALinkDroppedOnTheMainWindowOpensAsTheLinkWindowOpensIt) {
    ASSERT_TRUE(drop(Form1, {{}, "http://h/live.mp3"}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(engine.fileName(), "http://h/live.mp3");
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер: http://h/live.mp3 (0x0px)");
    EXPECT_EQ(list().allEntries(), listFile);
}

TEST_F(DragAndDrop, TheMainWindowRefusesWhatItCannotPlay) {
    for (const Drag &drag : {Drag{{TestDocuments() + "/gone.mp3"}, {}},
                             Drag{{"https://h/s.mp3"}, {}}, Drag{{}, "hello"}}) {
        EXPECT_FALSE(drop(Form1, drag));
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(DragAndDrop, AnEngineErrorIsReportedAsAButtonPressWouldReportIt) {
    engine.media[a].error = "Cannot open A song.mp3";
    ASSERT_TRUE(drop(Form1, {{a}, {}}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialogs.shown, QStringList{"report: Cannot open A song.mp3"});
}

} // namespace

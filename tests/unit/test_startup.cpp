#include "app/Application.h"
#include "app/Lifecycle.h"
#include "persistence/PlaylistFile.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

const QByteArray kCRLF = "\r\n";

QString SettingsFile() {
    return TestDocuments() + "/Velpa.Player.settings.ini";
}
QString PlaylistFileOnDisk() {
    return TestDocuments() + "/Velpa.Player.listbox.ini";
}

QByteArray Lines(std::initializer_list<QByteArray> lines) {
    QByteArray out;
    for (const auto &l : lines)
        out += l + kCRLF;
    return out;
}

class StartUp : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;

    void TearDown() override {
        if (Form1)
            DestroyForms();
    }
    bool start() {
        CreateForms(&engine);
        return ShowMainForm();
    }
    PlayerState &state() { return Form1->state(); }
    QByteArray pos(int v) { return QByteArray::number(v); }
};

TEST_F(StartUp, FirstRunCreatesBothFiles) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form2->isVisible() || Form3->isVisible() || Form4->isVisible());
    EXPECT_EQ(ReadBytes(SettingsFile()),
              Lines({"[Form]", "Top=" + pos(Form1->top()), "Left=" + pos(Form1->left()), "[List]",
                     "Top=242", "Left=467", "Repeat=0", "Shuffle=0", "Volume=0.5", "Last=0"}));
    EXPECT_EQ(ReadBytes(PlaylistFileOnDisk()), PlaylistFile::kSampleEntry.toUtf8() + kCRLF);
    EXPECT_EQ(state().list.allEntries(), QStringList{PlaylistFile::kSampleEntry});
    EXPECT_EQ(state().list.itemIndex(), 0);
    EXPECT_EQ(state().iiCheck.text(), "0");
    EXPECT_EQ(state().nextRL.text(), "0");
    EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер ");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // Closing writes the main window's settings and ends with the same keys.
    const QByteArray before = ReadBytes(SettingsFile());
    EXPECT_TRUE(Form1->close());
    EXPECT_EQ(ReadBytes(SettingsFile()), before);
}

// Settings present, playlist as given, List/Last as given: what the start-up
// restores.
struct RestoreCase {
    const char *name;
    QByteArray playlist; // null: no file
    const char *last;    // nullptr: no key
    QStringList entries;
    int selected;
    const char *iiCheck;
    const char *nextRL;
};

TEST_F(StartUp, RestoresTheIndex) {
    const RestoreCase cases[] = {
        {"three entries, last 1", "a\r\nb\r\nc\r\n", "1", {"a", "b", "c"}, 1, "1", "1"},
        {"no last key", "a\r\nb\r\n", nullptr, {"a", "b"}, 0, "0", "0"},
        {"last past the end", "a\r\nb\r\nc\r\n", "7", {"a", "b", "c"}, -1, "7", "7"},
        {"negative last", "a\r\n", "-1", {"a"}, -1, "iiCheck", "nextRL"},
        {"last not a number", "a\r\n", "x", {"a"}, 0, "0", "0"},
        {"empty playlist", "", "2", {}, -1, "iiCheck", "nextRL"},
        {"only a line end", "\r\n", "0", {""}, 0, "0", "0"},
        {"playlist missing", QByteArray(), "5", {PlaylistFile::kSampleEntry}, 0, "0", "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray settings = "[List]\r\nRepeat=1\r\n";
        if (c.last)
            settings += QByteArray("Last=") + c.last + kCRLF;
        WriteBytes(SettingsFile(), settings);
        QFile::remove(PlaylistFileOnDisk());
        if (!c.playlist.isNull())
            WriteBytes(PlaylistFileOnDisk(), c.playlist);

        ASSERT_TRUE(start());
        EXPECT_EQ(state().list.allEntries(), c.entries);
        EXPECT_EQ(state().list.itemIndex(), c.selected);
        EXPECT_EQ(state().iiCheck.text(), c.iiCheck);
        EXPECT_EQ(state().nextRL.text(), c.nextRL);
        EXPECT_TRUE(state().repeat());
        EXPECT_EQ(Form1->windowTitle(), "Велпа.Плеер ");
        if (c.playlist.isNull()) { // the stored index is overwritten with 0
            EXPECT_TRUE(ReadBytes(SettingsFile()).endsWith("Last=0\r\n"));
        } else { // the playlist file is left as it was
            EXPECT_EQ(ReadBytes(PlaylistFileOnDisk()), c.playlist);
        }
        DestroyForms();
    }
}

TEST_F(StartUp, EmptySettingsFileGivesTheDefaults) {
    WriteBytes(SettingsFile(), "");
    WriteBytes(PlaylistFileOnDisk(), "a\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(Form1->left(), 384);
    EXPECT_EQ(Form1->top(), 248);
    EXPECT_FALSE(state().repeat());
    EXPECT_FALSE(state().shuffle());
    EXPECT_EQ(state().volume(), 0.0f);
    EXPECT_EQ(ReadBytes(SettingsFile()), QByteArray()) << "nothing is written at start-up";

    // The playlist window's stored position is its designed one: no move,
    // so it opens centred over the main window.
    Form2->show();
    EXPECT_NE(Form2->pos(), QPoint(467, 242));
}

TEST_F(StartUp, AppliesStoredValues) {
    WriteBytes(SettingsFile(), Lines({"[Form]", "Top=0x10", "Left=300", "[List]", "Top=100",
                                      "Left=200", "Repeat=2", "Shuffle=yes", "Volume=0.25"}));
    WriteBytes(PlaylistFileOnDisk(), "a\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(Form1->top(), 16);
    EXPECT_EQ(Form1->left(), 300);
    EXPECT_TRUE(state().repeat());
    EXPECT_FALSE(state().shuffle());
    EXPECT_EQ(state().volume(), 0.25f);
    // Moved before its first showing: it opens where it was moved.
    Form2->show();
    EXPECT_EQ(Form2->pos(), QPoint(200, 100));
}

TEST_F(StartUp, ShutDownWritesTheMainWindowSettings) {
    WriteBytes(SettingsFile(), "; mine\r\n[Form]\r\nTop=50\r\nLeft=60\r\n[Other]\r\nKey=1\r\n");
    WriteBytes(PlaylistFileOnDisk(), "a\r\nb\r\n");
    ASSERT_TRUE(start());
    state().setShuffle(true);
    state().setVolume(0.3f);
    state().nextRL.setIndex(-1);
    state().list.append({"c"}); // the playlist file is not written at shut-down
    Form2->show();
    Form2->move(10, 20);
    EXPECT_TRUE(Form1->close());
    EXPECT_EQ(ReadBytes(SettingsFile()),
              Lines({"; mine", "[Form]", "Top=50", "Left=60", "[Other]", "Key=1", "[List]",
                     "Top=" + pos(Form2->top()), "Left=" + pos(Form2->left()), "Repeat=0",
                     "Shuffle=1", "Volume=0.300000011920929", "Last=-1"}));
    EXPECT_EQ(ReadBytes(PlaylistFileOnDisk()), QByteArray("a\r\nb\r\n"));
}

TEST_F(StartUp, SettingsDeletedDuringTheRunAreNotRecreated) {
    ASSERT_TRUE(start());
    QFile::remove(SettingsFile());
    Form2->show();
    EXPECT_TRUE(Form2->close());
    EXPECT_TRUE(Form1->close());
    EXPECT_FALSE(QFile::exists(SettingsFile()));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StartUp, UnusableDocumentsFolderEndsTheStartUp) {
    WriteBytes(TestHome() + "/Documents", "a file where the folder should be");
    CreateForms(&engine);
    EXPECT_FALSE(ShowMainForm());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown.first().startsWith("report: "))
        << dialogs.shown.first().toStdString();
}

TEST_F(StartUp, MissingDocumentsFolderIsCreated) {
    ASSERT_FALSE(QDir(TestHome() + "/Documents").exists());
    ASSERT_TRUE(start());
    EXPECT_TRUE(QFile::exists(TestHome() + "/Documents/Velpa.Player.settings.ini"));
}

TEST_F(StartUp, UnwritableSettingsAtShutDownKeepTheWindowOpen) {
    ASSERT_TRUE(start());
    // A settings file whose folder refuses new files, even to root: a link to
    // a file under /proc.
    QFile::remove(SettingsFile());
    ASSERT_TRUE(QFile::link("/proc/version", SettingsFile()));
    EXPECT_FALSE(Form1->close());
    EXPECT_TRUE(Form1->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown.first(), "report: Unable to write to " + SettingsFile());
}

// Leaving the playlist window: what is saved, by the search box text.
struct LeaveCase {
    const char *name;
    bool exitButton;
    QString search;
    bool deleteFile;
    QByteArray expectedFile; // null: no file
    QStringList expectedList;
};

TEST_F(StartUp, PlaylistSaveRule) {
    const QByteArray sample = PlaylistFile::kSampleEntry.toUtf8() + kCRLF;
    const LeaveCase cases[] = {
        {"close, placeholder",
         false,
         kSearchPlaceholder,
         false,
         "a\r\nb\r\nc\r\n",
         {"a", "b", "c"}},
        {"close, typed search", false, "b", false, "a\r\nb\r\n", {"a", "b", "c"}},
        {"close, empty box", false, "", false, "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"close, placeholder, file deleted",
         false,
         kSearchPlaceholder,
         true,
         sample,
         {PlaylistFile::kSampleEntry}},
        {"close, empty box, file deleted", false, "", true, "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"exit button, typed search", true, "b", false, "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"exit button, file deleted",
         true,
         kSearchPlaceholder,
         true,
         "a\r\nb\r\nc\r\n",
         {"a", "b", "c"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(PlaylistFileOnDisk(), "a\r\nb\r\n");
        ASSERT_TRUE(start());
        state().iiCheck.setIndex(1);
        Form2->show();
        state().list.append({"c"});
        state().list.setSearchText(c.search);
        if (c.deleteFile)
            QFile::remove(PlaylistFileOnDisk());
        if (c.exitButton)
            Form2->bExitClick();
        else
            EXPECT_TRUE(Form2->close());
        EXPECT_FALSE(Form2->isVisible());
        EXPECT_EQ(ReadBytes(PlaylistFileOnDisk()), c.expectedFile);
        EXPECT_EQ(state().list.allEntries(), c.expectedList);
        if (c.expectedList.size() == 1) { // replaced by the sample
            EXPECT_EQ(state().list.itemIndex(), 0);
            EXPECT_EQ(state().iiCheck.text(), "0");
        } else {
            EXPECT_EQ(state().iiCheck.text(), "1");
        }
        if (c.exitButton) {
            EXPECT_EQ(Form2->SearchBox1->text(), "");
        }
        EXPECT_TRUE(ReadBytes(SettingsFile()).endsWith("Last=1\r\n"));
        DestroyForms();
    }
}

TEST_F(StartUp, EmptyPlaylistIsNotReplacedBySample) {
    WriteBytes(PlaylistFileOnDisk(), "");
    ASSERT_TRUE(start());
    Form2->show();
    EXPECT_TRUE(Form2->close());
    EXPECT_EQ(QFileInfo(PlaylistFileOnDisk()).size(), 0);
    EXPECT_EQ(state().list.count(), 0);
}

TEST_F(StartUp, ByteOrderMarkSurvivesTheRoundTrip) {
    WriteBytes(PlaylistFileOnDisk(), "\xEF\xBB\xBF/m/\xD0\xB0.mp3\r\n/m/b.mp3");
    ASSERT_TRUE(start());
    EXPECT_EQ(state().list.entry(0), "/m/а.mp3");
    Form2->show();
    Form2->bExitClick();
    EXPECT_EQ(ReadBytes(PlaylistFileOnDisk()),
              QByteArray("\xEF\xBB\xBF/m/\xD0\xB0.mp3\r\n/m/b.mp3\r\n"));
}

TEST_F(StartUp, WindowsAreCreatedOnceAndOthersOnlyHide) {
    ASSERT_TRUE(start());
    QPointer<QWidget> forms[] = {Form2, Form3, Form4};
    Form1->bListClick();
    EXPECT_TRUE(Form2->isVisible());
    Form1->FormKeyDown(Qt::Key_F12);
    EXPECT_FALSE(Form2->isVisible());
    Form1->bInfoClick();
    EXPECT_TRUE(Form3->isVisible());
    Form3->close();
    Form1->bURLClick();
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->windowTitle(), "Открыть ссылку");
    Form4->close();
    for (const auto &f : forms) {
        EXPECT_FALSE(f.isNull());
        EXPECT_FALSE(f->isVisible());
    }
    EXPECT_TRUE(Form1->isVisible());
}

} // namespace

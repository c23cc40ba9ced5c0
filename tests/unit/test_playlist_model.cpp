#include "app/Errors.h"
#include "playlist/IndexLabel.h"
#include "playlist/Playable.h"
#include "playlist/PlaylistModel.h"
#include "playlist/Searches.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>
#include <string>

namespace {

QStringList Visible(const PlaylistModel &m) {
    QStringList out;
    for (int i = 0; i < m.count(); ++i)
        out << m.entry(i);
    return out;
}

TEST(PlaylistModel, SearchFilterShowsMatchingRowsAndClearsSelection) {
    PlaylistModel m;
    m.setEntries({"/a/One.MP3", "/a/two.wav", "http://h/three.mp3", "/a/four"},
                 TextEncoding::Plain);
    m.selectRow(1);
    m.setSearchText("  mp3\t");
    EXPECT_TRUE(m.searchInEffect());
    EXPECT_EQ(Visible(m), QStringList({"/a/One.MP3", "http://h/three.mp3"}));
    EXPECT_EQ(m.itemIndex(), -1);
    EXPECT_EQ(m.rowCount(), 2);

    // The playlist every command sees is the visible rows.
    m.selectRow(1);
    EXPECT_EQ(m.entry(m.itemIndex()), "http://h/three.mp3");

    for (const QString &none : {QString(), kSearchPlaceholder}) {
        m.setSearchText(none);
        EXPECT_FALSE(m.searchInEffect());
        EXPECT_EQ(m.count(), 4);
        EXPECT_EQ(m.itemIndex(), -1);
    }
}

TEST(PlaylistModel, EditsUnderASearchChangeTheFullList) {
    PlaylistModel m;
    m.setEntries({"a1", "b1", "a2", "b2", "a3"}, TextEncoding::Plain);
    m.setSearchText("a");
    ASSERT_EQ(Visible(m), QStringList({"a1", "a2", "a3"}));

    m.moveEntry(2, 0); // a3 takes a1's place in the full list
    EXPECT_EQ(m.allEntries(), QStringList({"a3", "a1", "b1", "a2", "b2"}));
    EXPECT_EQ(Visible(m), QStringList({"a3", "a1", "a2"}));
    EXPECT_EQ(m.itemIndex(), 0);

    m.moveEntry(0, 2); // and back past the hidden rows to a2's place
    EXPECT_EQ(m.allEntries(), QStringList({"a1", "b1", "a2", "a3", "b2"}));
    EXPECT_EQ(Visible(m), QStringList({"a1", "a2", "a3"}));
    EXPECT_EQ(m.itemIndex(), 2);

    m.deleteRow(1);
    EXPECT_EQ(m.allEntries(), QStringList({"a1", "b1", "a3", "b2"}));
    m.deleteRow(-1);
    m.deleteRow(7);
    EXPECT_EQ(m.allEntries().size(), 4);

    m.append({"x", "a4"}); // a matching row shows at once
    EXPECT_EQ(Visible(m), QStringList({"a1", "a3", "a4"}));
    m.setSearchText(QString());
    EXPECT_EQ(Visible(m), QStringList({"a1", "b1", "a3", "b2", "x", "a4"}));
}

TEST(PlaylistModel, SelectionOutsideTheRowsSelectsNone) {
    PlaylistModel m;
    m.setEntries({"a", "b", "c"}, TextEncoding::Plain);
    m.selectRow(2);
    EXPECT_EQ(m.itemIndex(), 2);
    m.selectRow(3);
    EXPECT_EQ(m.itemIndex(), -1);
    m.setItemIndex(-5);
    EXPECT_EQ(m.itemIndex(), -1);
    m.selectRow(1);
    m.clearRows();
    EXPECT_EQ(m.count(), 0);
    EXPECT_EQ(m.itemIndex(), -1);
}

TEST(IndexLabel, DesignTextMeansNoIndex) {
    IndexLabel l("iiCheck");
    EXPECT_FALSE(l.holdsIndex());
    EXPECT_EQ(l.savedIndex(), 0);
    try {
        l.toInt();
        FAIL() << "no conversion error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "'iiCheck' is not a valid integer value");
    }
    l.setIndex(-2);
    EXPECT_EQ(l.text(), "-2");
    EXPECT_EQ(l.savedIndex(), -2);
    l.reset();
    EXPECT_EQ(l.text(), "iiCheck");
}

TEST(Playable, LinkAndFileTests) {
    const QString dir = TestDocuments();
    WriteBytes(dir + "/song.mp3", "x");
    QDir().mkpath(dir + "/folder.mp4");
    QFile::link(dir + "/song.mp3", dir + "/alias.mp3");
    QFile::link(dir + "/gone.mp3", dir + "/dangling.mp3");
    const std::pair<QString, bool> cases[] = {
        {"http:", true},
        {"http", false},
        {"HTTP://h/x.mp4", false},
        {"https://h/x.mp4", false},
        {"http://h/x.mp4", true},
        {"", false},
        {dir + "/song.mp3", true},
        {dir + "/alias.mp3", true},
        {dir + "/dangling.mp3", false},
        {dir + "/folder.mp4", false},
        {dir + "/missing.mp3", false},
    };
    for (const auto &[entry, playable] : cases)
        EXPECT_EQ(IsPlayable(entry), playable) << entry.toStdString();
}

// A list built from a pattern: 'p' playable file, 'm' missing file, 'l' link.
struct Fixture {
    PlaylistModel list;
    IndexLabel nextRL{"nextRL"};
    explicit Fixture(const char *pattern) {
        const QString dir = TestDocuments();
        QStringList entries;
        for (int i = 0; pattern[i]; ++i) {
            const QString file = dir + QString("/%1.mp3").arg(i);
            if (pattern[i] == 'p')
                WriteBytes(file, "x");
            entries << (pattern[i] == 'l' ? QString("http://h/%1").arg(i) : file);
        }
        list.setEntries(entries, TextEncoding::Plain);
    }
};

TEST(Searches, ForwardAndBackward) {
    struct Case {
        const char *pattern;
        bool forward;
        int start;
        int hit; // -1: none
    };
    const Case cases[] = {
        {"ppp", true, 3, -1}, // start = count: nothing examined
        {"mmmm", true, 0, -1},
        {"mpmml", true, 2, 4},
        {"p", true, 0, 0},
        {"p", false, -1, 0},
        {"p", false, 0, 0},
        {"pmmp", false, -1, 3}, // only the last entry is examined
        {"mmmm", false, -1, -1},
        {"mmpm", false, 0, -1},      // entry 0, then the last
        {"mmmmpppppp", false, 3, 9}, // 4 to 8 are not examined
        {"mmmmpppppm", false, 3, -1},
        {"pmpm", false, 3, 2},
        {"pmm", false, 9, 0}, // beyond the end: from the last entry down
        {"mlm", false, 1, 1},
    };
    for (const auto &c : cases) {
        Fixture f(c.pattern);
        const QString r = c.forward
                              ? FindPlayableForward(f.list, f.nextRL, c.start, f.list.count())
                              : FindPlayableBackward(f.list, f.nextRL, c.start, f.list.count());
        EXPECT_EQ(r, QString::number(c.hit)) << c.pattern << " from " << c.start;
        EXPECT_EQ(f.nextRL.text(), c.hit < 0 ? QString("nextRL") : QString::number(c.hit))
            << c.pattern;
        QDir(TestDocuments()).removeRecursively();
    }
}

// Long runs of missing files are searched on several threads at once; the
// answer is still the nearest playable entry, never just one found first.
TEST(Searches, LongRunsOfMissingFilesFindTheNearestEntry) {
    std::string pattern(20000, 'm');
    for (int i : {600, 9000, 9001, 15000})
        pattern[size_t(i)] = 'p';
    pattern[12000] = 'l';
    Fixture f(pattern.c_str());
    struct Case {
        bool forward;
        int start;
        int hit;
    };
    const Case cases[] = {
        {true, 0, 600},        {true, 601, 9000},  {true, 9002, 12000},
        {true, 12001, 15000},  {true, 15001, -1},  {false, 19999, 15000},
        {false, 14999, 12000}, {false, 8999, 600}, {false, 599, -1},
    };
    for (const auto &c : cases) {
        const QString r = c.forward
                              ? FindPlayableForward(f.list, f.nextRL, c.start, f.list.count())
                              : FindPlayableBackward(f.list, f.nextRL, c.start, f.list.count());
        EXPECT_EQ(r, QString::number(c.hit))
            << (c.forward ? "forward" : "backward") << " from " << c.start;
    }
    QDir(TestDocuments()).removeRecursively();
}

TEST(Searches, EachCallStartsFromTheDesignText) {
    Fixture f("mm");
    f.nextRL.setIndex(1);
    FindPlayableForward(f.list, f.nextRL, 0, 2);
    EXPECT_EQ(f.nextRL.text(), "nextRL");
}

} // namespace

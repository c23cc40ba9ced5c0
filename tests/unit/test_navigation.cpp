#include "playlist/PlaylistModel.h"
#include "support/PlayerFixture.h"

namespace {

struct NavCase {
    const char *name;
    const char *pattern;
    const char *iiCheck; // current entry text
    int selected;
    bool repeat;
    bool shuffle;
    std::vector<int> picks;
    int started;         // row started, -1 for none
    bool missingMessage; // a random pick reported a missing file
};

class Navigation : public PlayerFixture {
protected:
    void run(const NavCase &c, bool next) {
        SCOPED_TRACE(c.name);
        makeList(c.pattern);
        state.iiCheck.setText(c.iiCheck);
        state.list.selectRow(c.selected);
        state.setRepeat(c.repeat);
        state.setShuffle(c.shuffle);
        picks.assign(c.picks.begin(), c.picks.end());
        engine.calls.clear();
        dialogs.shown.clear();

        if (next)
            player.Next();
        else
            player.Previous();

        EXPECT_TRUE(picks.empty()) << "a scripted pick was not used";
        EXPECT_EQ(openedRow(), c.started);
        if (c.started >= 0) {
            const QString index = QString::number(c.started);
            EXPECT_EQ(state.iiCheck.text(), index);
            EXPECT_EQ(state.nextRL.text(), index);
            EXPECT_EQ(state.list.itemIndex(), c.started);
            EXPECT_EQ(state.listCaption(), PlaylistCaption(c.started, int(std::strlen(c.pattern))));
        }
        if (c.missingMessage) {
            ASSERT_EQ(dialogs.shown.size(), 1);
            const int pick = c.picks.back();
            EXPECT_EQ(dialogs.shown.first(),
                      "information: Файл " + entryName(pick, c.pattern[pick]) + " не найден.");
            EXPECT_EQ(state.nextRL.text(), QString::number(pick));
            EXPECT_FALSE(engine.calls.contains("stop")) << "the current entry goes on";
        } else {
            EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
        }
    }
};

TEST_F(Navigation, Next) {
    const NavCase cases[] = {
        {"step", "ppp", "0", 0, false, false, {}, 1, false},
        {"missing skipped", "pmp", "0", 0, false, false, {}, 2, false},
        {"repeat wraps", "ppp", "2", 2, true, false, {}, 0, false},
        {"repeat wraps past a missing top", "mpp", "2", 2, true, false, {}, 1, false},
        {"selection discarded by the restore", "pppp", "0", 2, false, false, {}, 1, false},
        {"last row selected: random", "ppp", "0", 2, false, false, {1}, 1, false},
        {"current last, other row selected: wraps", "ppp", "2", 0, false, false, {}, 0, false},
        {"shuffle picks", "ppppp", "1", 1, false, true, {3}, 3, false},
        {"shuffle may pick the same", "ppppp", "1", 1, false, true, {1}, 1, false},
        {"shuffle picks a missing file", "pmppp", "2", 2, false, true, {1}, -1, true},
        {"shuffle and repeat on the last row wrap", "ppp", "2", 2, true, true, {}, 0, false},
        {"no current entry, no selection", "mpp", "iiCheck", -1, false, false, {}, 1, false},
        {"no current entry, shuffle", "ppp", "iiCheck", -1, false, true, {}, -1, false},
        {"wrap finds a link", "mmlp", "3", 3, true, false, {}, 2, false},
        {"random link with the flag clear starts", "pl", "0", 1, false, false, {1}, 1, false},
        {"empty list", "", "iiCheck", -1, true, false, {}, -1, false},
        {"no hit leaves things as they are", "pmm", "0", 0, false, false, {}, -1, false},
        {"current entry past the end", "mpp", "7", 1, false, false, {}, 1, false},
        {"current entry -2", "ppp", "-2", 1, false, false, {}, 0, false},
    };
    for (const auto &c : cases)
        run(c, true);
}

TEST_F(Navigation, Previous) {
    const NavCase cases[] = {
        {"step back", "ppp", "9", 1, false, false, {}, 0, false},
        {"first row wraps to the last", "ppp", "0", 0, false, false, {}, 2, false},
        {"missing skipped", "pmp", "2", 2, false, false, {}, 0, false},
        {"falls back to the last", "mmp", "2", 2, false, false, {}, 2, false},
        {"nearest before, else the last only", "mmmmmmpppp", "5", 5, false, false, {}, 9, false},
        {"shuffle on the first row wraps", "ppp", "0", 0, false, true, {}, 2, false},
        {"shuffle picks", "ppp", "1", 1, false, true, {2}, 2, false},
        {"shuffle picks a missing file", "pmp", "1", 1, false, true, {1}, -1, true},
        {"from the selection, not the current", "pppp", "1", 3, false, false, {}, 2, false},
        {"a link starts", "lpp", "1", 1, false, false, {}, 0, false},
        {"no selection", "ppp", "1", -1, false, false, {}, -1, false},
        {"empty list", "", "iiCheck", -1, false, false, {}, -1, false},
        {"no hit", "mmm", "1", 2, false, false, {}, -1, false},
    };
    for (const auto &c : cases)
        run(c, false);
}

TEST_F(Navigation, NextStartsAsTheSearchFoundIt) {
    makeList("ppp");
    engine.media[entryName(1, 'p')] = {36'000'000, {1920, 1080}, {}};
    state.iiCheck.setIndex(0);
    state.list.selectRow(0);
    player.Next();
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : 1 (1920x1080px) Длительность 00:00:03");
    EXPECT_EQ(heights, QStringList{"540"});
    EXPECT_EQ(engine.calls, QStringList({"stop", "clear", "open " + entryName(1, 'p'), "play"}));
}

} // namespace

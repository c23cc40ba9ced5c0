#include "support/PlayerFixture.h"

namespace {

class Progress : public PlayerFixture {
protected:
    void startRow(int row) {
        state.list.selectRow(row);
        player.PlaySelectedRow();
    }
};

TEST_F(Progress, TickMovesBarAndClockAndEnablesNext) {
    makeList("ppp");
    engine.defaultMedia.duration = 72'000'000'000;
    startRow(0);
    engine.advanceTo(36'610'000'000); // 1:01:01
    engine.calls.clear();
    player.Tick();
    EXPECT_EQ(state.bar.value(), 36'610'000'000.0f);
    EXPECT_EQ(state.clock(), "01:01:01");
    EXPECT_TRUE(engine.calls.filter("seek").isEmpty()) << "the tick does not seek";
    EXPECT_TRUE(state.nextEnabled());

    // Paused: the bar still follows, the clock keeps its text.
    engine.stop();
    engine.advanceTo(10'000'000);
    player.Tick();
    EXPECT_EQ(state.bar.value(), 10'000'000.0f);
    EXPECT_EQ(state.clock(), "01:01:01");

    // Next is enabled exactly where it can advance.
    struct Case {
        int selected;
        bool repeat;
        bool enabled;
    };
    for (const Case &c : {Case{2, false, false}, Case{2, true, true}, Case{1, false, true},
                          Case{-1, false, true}}) {
        state.list.selectRow(c.selected);
        state.setRepeat(c.repeat);
        player.Tick();
        EXPECT_EQ(state.nextEnabled(), c.enabled) << c.selected << c.repeat;
    }
    state.list.setEntries({}, TextEncoding::Plain);
    state.setRepeat(false);
    player.Tick();
    EXPECT_FALSE(state.nextEnabled());
}

TEST_F(Progress, UserMovingTheBarSeeksRoundingHalvesToEven) {
    makeList("p");
    engine.media[entryName(0, 'p')].duration = 100;
    startRow(0);
    state.setEndCheckEnabled(false);
    engine.calls.clear();
    state.bar.setValue(2.5f);
    state.bar.setValue(3.5f);
    EXPECT_EQ(engine.calls, QStringList({"seek 2", "seek 4"}));
    EXPECT_TRUE(state.endCheckEnabled());
}

TEST_F(Progress, EndOfEntryMovesOnOrStops) {
    makeList("ppp");
    startRow(0);
    // Not at the end: nothing happens.
    engine.advanceTo(10'000'000);
    player.Tick();
    player.EndCheck();
    EXPECT_EQ(openedRow(), 0);

    engine.playToEnd();
    player.Tick();
    player.EndCheck();
    EXPECT_EQ(openedRow(), 1);
    EXPECT_EQ(state.iiCheck.text(), "1");

    // The last row without repeat: playback stops at the end of the list.
    startRow(2);
    engine.playToEnd();
    player.Tick();
    player.EndCheck();
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_EQ(state.bar.value(), 0.0f);
    EXPECT_EQ(state.clock(), "00:00:00");
    EXPECT_EQ(state.pauseLook(), kPlayLook);
    EXPECT_EQ(state.pauseHint(), "Пауза");
    EXPECT_FALSE(state.endCheckEnabled());

    // A press of play then starts the current entry again, and the tick
    // moving the bar re-arms the check.
    player.PlayPauseClick();
    EXPECT_EQ(engine.fileName(), entryName(2, 'p'));
    engine.advanceTo(5'000'000);
    player.Tick();
    EXPECT_TRUE(state.endCheckEnabled());
}

TEST_F(Progress, EndWithRepeatOrAnotherRowSelected) {
    makeList("ppppp");
    startRow(4);
    state.setRepeat(true);
    engine.playToEnd();
    player.Tick();
    player.EndCheck();
    EXPECT_EQ(openedRow(), 0) << "repeat wraps to the top";

    // Current entry row 2, the user selected the last row, repeat off: stop.
    state.setRepeat(false);
    startRow(2);
    state.list.selectRow(4);
    engine.playToEnd();
    player.Tick();
    player.EndCheck();
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_EQ(state.clock(), "00:00:00");
}

TEST_F(Progress, ZeroDurationCountsAsEnded) {
    makeList("pp");
    engine.media[entryName(0, 'p')].duration = 0;
    startRow(0);
    player.Tick();
    player.EndCheck();
    EXPECT_EQ(openedRow(), 1);
}

} // namespace

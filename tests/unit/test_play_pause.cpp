#include "support/PlayerFixture.h"

namespace {

class PlayPause : public PlayerFixture {};

// One press of the play button, by the carriers found before it.
struct PressCase {
    const char *name;
    const char *lookBefore;
    const char *hintBefore;
    float bar;
    const char *iiCheck;
    bool loaded; // something is loaded and playing or halted
    bool playingBefore;
    bool startsEntry;
    const char *lookAfter;
    const char *hintAfter;
    MediaState stateAfter;
};

TEST_F(PlayPause, OnePress) {
    const char *play = "playtoolbuttonbordered";
    const char *pause = "pausetoolbuttonbordered";
    const PressCase cases[] = {
        {"starts the current entry", play, "", 0, "0", false, false, true, pause, "",
         MediaState::Playing},
        {"starts even when marked paused", play, "Пауза", 0, "0", true, false, true, pause, "",
         MediaState::Playing},
        {"resumes", play, "Пауза", 5, "0", true, false, false, pause, "", MediaState::Playing},
        {"resume with nothing loaded", play, "Пауза", 0, "iiCheck", false, false, false, play, "",
         MediaState::Unavailable},
        {"pauses, play look", play, "", 5, "0", true, true, false, play, "Пауза",
         MediaState::Stopped},
        {"resumes, pause look", pause, "Пауза", 5, "0", true, false, false, pause, "",
         MediaState::Playing},
        {"pauses", pause, "", 5, "0", true, true, false, play, "Пауза", MediaState::Stopped},
        {"pause with nothing loaded", pause, "", 0, "iiCheck", false, false, false, pause, "Пауза",
         MediaState::Unavailable},
        {"missing current file only flips the marker", play, "", 0, "1", false, false, false, play,
         "Пауза", MediaState::Unavailable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        makeList("pm");
        engine.clear();
        if (c.loaded) {
            engine.open("/other.mp4");
            engine.advanceTo(50'000'000);
            if (c.playingBefore)
                engine.play();
        }
        state.setPauseLook(c.lookBefore);
        state.setPauseHint(c.hintBefore);
        state.bar.tag = 1;
        state.bar.setMax(100'000'000);
        state.bar.setValue(c.bar);
        state.bar.tag = 0;
        state.iiCheck.setText(c.iiCheck);
        engine.calls.clear();

        player.PlayPauseClick();

        EXPECT_EQ(state.pauseLook(), c.lookAfter);
        EXPECT_EQ(state.pauseHint(), QString::fromUtf8(c.hintAfter));
        EXPECT_EQ(engine.state(), c.stateAfter);
        EXPECT_EQ(engine.fileName() == entryName(0, 'p'), c.startsEntry);
        if (c.startsEntry) {
            EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : 0");
        }
    }
}

TEST_F(PlayPause, CurrentEntryOutsideTheListIsAnIndexError) {
    makeList("p");
    state.iiCheck.setIndex(3);
    try {
        player.PlayPauseClick();
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "List index out of bounds (3)");
    }
    EXPECT_EQ(state.pauseHint(), "");
}

TEST_F(PlayPause, SpaceOnlyFlipsTheMarker) {
    makeList("p");
    player.StartEntry(0, entryName(0, 'p'), EntryKind::LocalFile, StartSite::DoubleClick);
    player.TogglePause();
    EXPECT_EQ(engine.state(), MediaState::Stopped);
    EXPECT_EQ(state.pauseHint(), "Пауза");
    EXPECT_EQ(state.pauseLook(), kPauseLook);
    // The button then resumes rather than pausing again.
    engine.advanceTo(10'000'000);
    player.Tick();
    player.PlayPauseClick();
    EXPECT_EQ(engine.state(), MediaState::Playing);
    EXPECT_EQ(state.pauseHint(), "");
    player.TogglePause();
    player.TogglePause();
    EXPECT_EQ(engine.state(), MediaState::Playing);
}

TEST_F(PlayPause, DoubleClick) {
    makeList("pmlp");
    // No row selected: the current entry is forgotten, nothing else happens.
    state.iiCheck.setIndex(0);
    player.PlaySelectedRow();
    EXPECT_EQ(state.iiCheck.text(), "iiCheck");
    EXPECT_FALSE(opened());

    state.list.selectRow(1); // a missing file
    player.PlaySelectedRow();
    EXPECT_EQ(dialogs.shown, QStringList{"information: Файл " + entryName(1, 'm') + " не найден."});
    EXPECT_EQ(state.iiCheck.text(), "1");
    EXPECT_EQ(state.nextRL.text(), "nextRL");
    EXPECT_FALSE(opened());

    state.list.selectRow(2); // a link
    player.PlaySelectedRow();
    EXPECT_EQ(openedRow(), 2);
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер: http://host/2.mp4 Длительность 00:00:02");
    EXPECT_EQ(state.nextRL.text(), "2");

    state.list.selectRow(3);
    player.PlaySelectedRow();
    EXPECT_EQ(openedRow(), 3);
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : 3 Длительность 00:00:02");
}

} // namespace

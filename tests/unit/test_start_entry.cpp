#include "support/PlayerFixture.h"

namespace {

class StartEntryTest : public PlayerFixture {};

struct SiteCase {
    const char *name;
    StartSite site;
    char kind; // 'p' local file, 'l' link
    VideoSize size;
    bool fullScreen;
    const char *caption;
    const char *height;   // requested height, "" for none
    bool playlistTouched; // labels, selection and playlist caption
};

TEST_F(StartEntryTest, SitesWriteTheirCaptionsLabelsAndHeight) {
    const VideoSize hd{1920, 1080}, odd{1280, 1081}, audio{};
    const SiteCase cases[] = {
        {"next, file, video", StartSite::NextPreviousSearch, 'p', hd, false,
         "Велпа.Плеер : 1 (1920x1080px) Длительность 00:01:05", "540", true},
        {"next, file, full screen", StartSite::NextPreviousRandom, 'p', odd, true,
         "Велпа.Плеер : 1 (1280x1081px) Длительность 00:01:05", "", true},
        {"next, link, audio", StartSite::NextPreviousLink, 'l', audio, false,
         "Велпа.Плеер : http://host/1.mp4 Длительность 00:01:05", "", true},
        {"double click, file", StartSite::DoubleClick, 'p', odd, false,
         "Велпа.Плеер : 1 (1280x1081px) Длительность 00:01:05", "540", true},
        {"double click, link", StartSite::DoubleClick, 'l', hd, false,
         "Велпа.Плеер: http://host/1.mp4 (1920x1080px) Длительность 00:01:05", "540", true},
        {"play button, file", StartSite::PlayPause, 'p', audio, false, "Велпа.Плеер : 1", "", true},
        {"play button, link", StartSite::PlayPause, 'l', hd, false,
         "Велпа.Плеер : http://host/1.mp4 (1920x1080px)", "540", true},
        {"link window, audio", StartSite::LinkWindow, 'l', audio, false,
         "Велпа.Плеер: http://host/1.mp4 (0x0px)", "", false},
        {"link window, full screen", StartSite::LinkWindow, 'l', hd, true,
         "Велпа.Плеер: http://host/1.mp4 (1920x1080px)", "540", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        makeList(c.kind == 'l' ? "pl" : "pp");
        state.iiCheck.reset();
        state.nextRL.setIndex(1); // as a search leaves it
        state.list.selectRow(0);
        state.setListCaption("before");
        state.setFullScreen(c.fullScreen);
        state.setPauseHint(kPausedHint);
        heights.clear();
        const QString entry = entryName(1, c.kind);
        engine.media[entry] = {650'000'000, c.size, {}};

        player.StartEntry(1, entry, c.kind == 'l' ? EntryKind::Link : EntryKind::LocalFile, c.site);

        EXPECT_EQ(engine.fileName(), entry);
        EXPECT_EQ(engine.state(), MediaState::Playing);
        EXPECT_EQ(state.mainCaption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(heights.join(","), c.height);
        EXPECT_EQ(state.pauseLook(), kPauseLook);
        EXPECT_EQ(state.pauseHint(), c.site == StartSite::LinkWindow ? kPausedHint : "");
        EXPECT_EQ(state.bar.max(), 650'000'000.0f);
        if (c.playlistTouched) {
            // The play button starts the entry iiCheck names; for a link it
            // leaves the label as it is.
            const bool keepsLabel = c.site == StartSite::PlayPause && c.kind == 'l';
            EXPECT_EQ(state.iiCheck.text(), keepsLabel ? "iiCheck" : "1");
            EXPECT_EQ(state.list.itemIndex(), 1);
            EXPECT_EQ(state.listCaption(), "Список воспроизведения. Играет 2 трек из 2");
        } else {
            EXPECT_EQ(state.iiCheck.text(), "iiCheck");
            EXPECT_EQ(state.list.itemIndex(), 0);
            EXPECT_EQ(state.listCaption(), "before");
        }
    }
}

TEST_F(StartEntryTest, FailedOpenKeepsWhatCameBefore) {
    // Double click: labels and selection come before the load.
    makeList("pp");
    const QString entry = entryName(1, 'p');
    engine.media[entry].error = "Cannot play \"x\". Unrecognized file format";
    engine.open(entryName(0, 'p'));
    EXPECT_THROW(player.StartEntry(1, entry, EntryKind::LocalFile, StartSite::DoubleClick),
                 AppError);
    EXPECT_EQ(state.iiCheck.text(), "1");
    EXPECT_EQ(state.nextRL.text(), "1");
    EXPECT_EQ(state.list.itemIndex(), 1);
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_EQ(state.mainCaption(), kMainDesignCaption);

    // Next: the label comes first, the selection after the load.
    state.list.selectRow(0);
    state.iiCheck.setIndex(0);
    state.nextRL.setIndex(1);
    EXPECT_THROW(player.StartEntry(1, entry, EntryKind::LocalFile, StartSite::NextPreviousSearch),
                 AppError);
    EXPECT_EQ(state.iiCheck.text(), "1");
    EXPECT_EQ(state.list.itemIndex(), 0);
}

TEST_F(StartEntryTest, NewEntryStartsFromZeroWhateverTheOldPosition) {
    makeList("pp");
    engine.media[entryName(0, 'p')] = {600'000'000, {}, {}};
    engine.media[entryName(1, 'p')] = {20'000'000, {}, {}};
    player.StartEntry(0, entryName(0, 'p'), EntryKind::LocalFile, StartSite::DoubleClick);
    engine.advanceTo(500'000'000);
    player.Tick();
    engine.calls.clear();
    player.StartEntry(1, entryName(1, 'p'), EntryKind::LocalFile, StartSite::DoubleClick);
    EXPECT_EQ(state.bar.value(), 0.0f);
    EXPECT_FALSE(state.bar.atEnd());
    EXPECT_TRUE(engine.calls.filter("seek").isEmpty()) << engine.calls.join("|").toStdString();
}

TEST_F(StartEntryTest, VolumeIsOneMinusTheBar) {
    makeList("p");
    const std::pair<float, float> cases[] = {{0.25f, 0.75f}, {0.5f, 0.5f}, {0.0f, 1.0f}};
    for (const auto &[bar, volume] : cases) {
        state.setVolume(bar);
        player.StartEntry(0, entryName(0, 'p'), EntryKind::LocalFile, StartSite::DoubleClick);
        EXPECT_FLOAT_EQ(engine.volume(), volume);
    }
    state.setVolume(1.0f);
    player.VolumeBarChange();
    EXPECT_FLOAT_EQ(engine.volume(), 0.0f);
}

TEST_F(StartEntryTest, OpenFilePlaysOutsideThePlaylist) {
    makeList("pp");
    state.iiCheck.setIndex(0);
    state.list.selectRow(0);
    state.setListCaption("list");
    state.setFullScreen(true);
    const QString file = TestDocuments() + "/Clip.Final.MP4";
    engine.media[file] = {20'000'000, {640, 480}, {}};
    player.OpenFile(file);
    EXPECT_EQ(state.mainCaption(), "Велпа.Плеер : Clip.Final (640x480px) Длительность 00:00:02");
    EXPECT_EQ(heights, QStringList{"240"}) << "only the final adjustment, in full screen";
    EXPECT_EQ(state.iiCheck.text(), "0");
    EXPECT_EQ(state.list.itemIndex(), 0);
    EXPECT_EQ(state.listCaption(), "list");
    EXPECT_EQ(state.pauseLook(), kPauseLook);
    EXPECT_EQ(engine.calls.filter("stop").size(), 0) << "no stop before loading";

    // An open error leaves nothing loaded and the caption as it was.
    engine.media["/bad.mp4"].error = "Cannot play \"/bad.mp4\". Unrecognized file format";
    EXPECT_THROW(player.OpenFile("/bad.mp4"), AppError);
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_TRUE(state.mainCaption().contains("Clip.Final"));
}

} // namespace

#include "playback/Texts.h"

#include <gtest/gtest.h>

namespace {

struct TimeCase {
    MediaTime t;
    const char *duration;
    const char *clock;
};

TEST(Texts, DurationAndClock) {
    const TimeCase cases[] = {
        {0, "Длительность 00:00:00", "00:00:00"},
        {9'999'999, "Длительность 00:00:00", "00:00:00"},
        {123'456'000'000, "Длительность 03:25:45", "03:25:45"},
        {35'999'900'000, "Длительность 00:59:59", "00:59:59"}, // 3599.99 s
        {36'000'000'000LL * 100, "Длительность 100:00:00", "0100:00:00"},
        {36'000'000'000LL * 1000 + 50'000'000, "Длительность 1000:00:05", "01000:00:05"},
        {610'000'000, "Длительность 00:01:01", "00:01:01"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(DurationText(c.t), QString::fromUtf8(c.duration)) << c.t;
        EXPECT_EQ(ClockText(c.t), QString::fromUtf8(c.clock)) << c.t;
    }
}

TEST(Texts, DisplayName) {
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\Music\\Song.MP3", "Song"},
        {"C:\\a\\Clip.Mp4", "Clip"},
        {"C:\\a\\Live.mp3 set.mp3", "Live set"},
        {"D:\\dir.old\\file", "file"},
        {"C:\\Music\\.mp3", ""},
        {"/home/u/Music/Track 01.flac", "Track 01"},
        {"/home/u/dir.old/file", "file"},
        {"plain", "plain"},
        {"/home/u/Музыка/Песня.MP3", "Песня"},
        {"", ""},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(DisplayName(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(Texts, PlaylistCaption) {
    EXPECT_EQ(PlaylistCaption(0, 1), QStringLiteral("Список воспроизведения. Играет 1 трек из 1"));
    EXPECT_EQ(PlaylistCaption(41, 1000),
              QStringLiteral("Список воспроизведения. Играет 42 трек из 1000"));
}

TEST(Texts, MainCaptionForms) {
    const QString d = QStringLiteral("Длительность 00:00:02");
    const VideoSize video{320.7, 240.2};
    const VideoSize audio{0, 0};
    const VideoSize thin{640, 0.9}; // height truncates to 0: no video
    struct Case {
        CaptionForm form;
        VideoSize size;
        const char *expected;
    };
    const Case cases[] = {
        {CaptionForm::SpacedWithDuration, audio, "Велпа.Плеер : clip Длительность 00:00:02"},
        {CaptionForm::SpacedWithDuration, video,
         "Велпа.Плеер : clip (320x240px) Длительность 00:00:02"},
        {CaptionForm::SpacedWithDuration, thin, "Велпа.Плеер : clip Длительность 00:00:02"},
        {CaptionForm::TightWithDuration, audio, "Велпа.Плеер: clip Длительность 00:00:02"},
        {CaptionForm::TightWithDuration, video,
         "Велпа.Плеер: clip (320x240px) Длительность 00:00:02"},
        {CaptionForm::SpacedWithoutDuration, audio, "Велпа.Плеер : clip"},
        {CaptionForm::SpacedWithoutDuration, video, "Велпа.Плеер : clip (320x240px)"},
        {CaptionForm::LinkWindow, audio, "Велпа.Плеер: clip (0x0px)"},
        {CaptionForm::LinkWindow, video, "Велпа.Плеер: clip (320x240px)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MainCaption(c.form, QStringLiteral("clip"), c.size, d),
                  QString::fromUtf8(c.expected));
    // An empty display name leaves two blanks in a row in the spaced form.
    EXPECT_EQ(MainCaption(CaptionForm::SpacedWithDuration, QString(), audio, d),
              QStringLiteral("Велпа.Плеер :  Длительность 00:00:02"));
}

} // namespace

// The texts built from media data and entries: duration, clock, display name
// and the two captions. Any value the engine or the playlist can hand over
// gives a well-formed text, without undefined arithmetic on the way.
#include "FuzzCheck.h"
#include "playback/Texts.h"

#include <QRegularExpression>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString TwoDigits(qint64 v) {
    const QString s = QString::number(v);
    return s.size() == 2 ? s : QLatin1Char('0') + s;
}

bool HasSeparator(const QString &text) {
    return text.contains(u'/') || text.contains(u'\\') || text.contains(u':');
}

void CheckTimes(MediaTime time) {
    // A number may be negative (a position before 0, or one past the 32-bit
    // range); the clock then puts its "0" in front of the minus sign.
    static const QRegularExpression duration(
        QStringLiteral("^Длительность 0?-?[0-9]+:0?-?[0-9]+:0?-?[0-9]+\\z"));
    static const QRegularExpression clock(QStringLiteral("^0?-?[0-9]+:0?-?[0-9]+:0?-?[0-9]+\\z"));
    const QString durationText = DurationText(time);
    const QString clockText = ClockText(time);
    if (!duration.match(durationText).hasMatch())
        FuzzShow("duration", durationText);
    FUZZ_CHECK(duration.match(durationText).hasMatch());
    FUZZ_CHECK(clock.match(clockText).hasMatch());

    // Positions a media can have: whole seconds within the 32-bit range.
    const qint64 seconds = time / 10'000'000;
    if (time >= 0 && seconds <= 0x7FFFFFFF) {
        const QString expected = TwoDigits(seconds / 3600) + u':' + TwoDigits(seconds % 3600 / 60) +
                                 u':' + TwoDigits(seconds % 60);
        if (clockText != expected) {
            FuzzShow("clock   ", clockText);
            FuzzShow("expected", expected);
        }
        FUZZ_CHECK(clockText == expected);
    }
}

void CheckDisplayName(const QString &path, const QString &folder) {
    const QString name = DisplayName(path);
    FUZZ_CHECK(!HasSeparator(name));
    FUZZ_CHECK(name.size() <= path.size());
    // Only the last component counts: no folder in front changes the name.
    if (!HasSeparator(path)) {
        FUZZ_CHECK(DisplayName(folder + u'/' + path) == name);
        FUZZ_CHECK(DisplayName(folder + u'\\' + path) == name);
        if (!path.contains(u'.'))
            FUZZ_CHECK(name == path);
    }
}

void CheckCaptions(const QString &subject, VideoSize size, int index, int count) {
    const QString duration = DurationText(0);
    for (const CaptionForm form : {CaptionForm::SpacedWithDuration, CaptionForm::TightWithDuration,
                                   CaptionForm::SpacedWithoutDuration, CaptionForm::LinkWindow}) {
        const QString caption = MainCaption(form, subject, size, duration);
        FUZZ_CHECK(caption.startsWith(QStringLiteral("Велпа.Плеер")));
        FUZZ_CHECK(caption.contains(subject));
    }
    const QString list = PlaylistCaption(index, count);
    FUZZ_CHECK(list.endsWith(QStringLiteral(" трек из ") + QString::number(count)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const MediaTime time = in.ConsumeIntegral<MediaTime>();
    const VideoSize videoSize{std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>()),
                              std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>())};
    const int index = in.ConsumeIntegral<int>();
    const int count = in.ConsumeIntegral<int>();
    const QString folder = QString::fromStdString(in.ConsumeRandomLengthString(64));
    const QString path = QString::fromStdString(in.ConsumeRemainingBytesAsString());

    CheckTimes(time);
    CheckDisplayName(path, folder);
    CheckCaptions(path, videoSize, index, count);
    return 0;
}

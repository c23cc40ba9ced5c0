#pragma once

#include <QString>
#include <QtGlobal>

// Media time: 100 ns units, 10,000,000 a second.
using MediaTime = qint64;

// Fixed texts of the two main captions and the clock.
inline const QString kIdleCaption = QStringLiteral("Велпа.Плеер ");
inline const QString kMainDesignCaption = QStringLiteral("Велпа плеер");
inline const QString kListDesignCaption = QStringLiteral("Список воспроизведения.");
inline const QString kClockZero = QStringLiteral("00:00:00");

QString DurationText(MediaTime duration);
QString ClockText(MediaTime position);
QString DisplayName(const QString &path);
QString PlaylistCaption(int index, int count);

enum class CaptionForm {
    SpacedWithDuration,
    TightWithDuration,
    SpacedWithoutDuration,
    LinkWindow,
};

// Video size as the engine reports it; both are truncated toward zero, and the
// media has video exactly when the truncated height is positive.
struct VideoSize {
    double width = 0;
    double height = 0;
    qint32 w() const;
    qint32 h() const;
    bool hasVideo() const { return h() > 0; }
};

QString MainCaption(CaptionForm form, const QString &subject, VideoSize size,
                    const QString &durationText);

#include "playback/Texts.h"

#include <cmath>
#include <limits>

namespace {

// The 32-bit signed view of a 64-bit count, as the original arithmetic takes it.
qint32 Narrow(qint64 v) {
    return static_cast<qint32>(static_cast<quint32>(v));
}

qint32 Truncate(double v) {
    if (!std::isfinite(v))
        return 0;
    const double t = std::trunc(v);
    if (t >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    if (t <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(t);
}

QString PadIfOne(qint32 v) {
    const QString s = QString::number(v);
    return s.size() == 1 ? QLatin1Char('0') + s : s;
}

QString PadUnlessTwo(qint32 v) {
    const QString s = QString::number(v);
    return s.size() != 2 ? QLatin1Char('0') + s : s;
}

} // namespace

qint32 VideoSize::w() const {
    return Truncate(width);
}
qint32 VideoSize::h() const {
    return Truncate(height);
}

QString DurationText(MediaTime d) {
    const qint32 h = Narrow(d / 36000000000LL);
    const qint32 t = Narrow(d / 10000000LL);
    // 32-bit wrap-around is part of the arithmetic; do it unsigned to keep it defined.
    const qint32 m =
        static_cast<qint32>(static_cast<quint32>(t) - static_cast<quint32>(h) * 3600u) / 60;
    const qint32 s = Narrow(((d / 10000LL) % 60000LL) / 1000LL);
    return QStringLiteral("Длительность ") + PadIfOne(h) + QLatin1Char(':') + PadIfOne(m) +
           QLatin1Char(':') + PadIfOne(s);
}

QString ClockText(MediaTime p) {
    const qint32 t = Narrow(p / 10000000LL);
    const qint32 h = t / 3600;
    const qint32 r = t - h * 3600;
    const qint32 m = r / 60;
    const qint32 s = r - m * 60;
    return PadUnlessTwo(h) + QLatin1Char(':') + PadUnlessTwo(m) + QLatin1Char(':') +
           PadUnlessTwo(s);
}

QString DisplayName(const QString &path) {
    // "/" separates path components here as well as "\" and ":", so that
    // local paths on Linux show their file name.
    auto isSeparator = [](QChar c) {
        return c == QLatin1Char('\\') || c == QLatin1Char(':') || c == QLatin1Char('/');
    };
    qsizetype lastSep = -1;
    qsizetype lastExtMark = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (lastExtMark < 0 && (c == QLatin1Char('.') || isSeparator(c)))
            lastExtMark = i;
        if (isSeparator(c)) {
            lastSep = i;
            break;
        }
    }
    const QString name = path.mid(lastSep + 1);
    if (lastExtMark < 0 || path.at(lastExtMark) != QLatin1Char('.'))
        return name;
    const QString ext = path.mid(lastExtMark);
    QString result = name;
    result.remove(ext, Qt::CaseInsensitive);
    return result;
}

QString PlaylistCaption(int index, int count) {
    // The 32-bit sum, wrapping as the original arithmetic does; index + 1
    // itself would be undefined for the largest index.
    const qint32 number = static_cast<qint32>(static_cast<quint32>(index) + 1u);
    return QStringLiteral("Список воспроизведения. Играет ") + QString::number(number) +
           QStringLiteral(" трек из ") + QString::number(count);
}

QString MainCaption(CaptionForm form, const QString &subject, VideoSize size,
                    const QString &durationText) {
    const QString sizePart = QStringLiteral(" (") + QString::number(size.w()) + QLatin1Char('x') +
                             QString::number(size.h()) + QStringLiteral("px)");
    switch (form) {
    case CaptionForm::SpacedWithDuration:
    case CaptionForm::TightWithDuration: {
        const QString head = form == CaptionForm::SpacedWithDuration
                                 ? QStringLiteral("Велпа.Плеер : ")
                                 : QStringLiteral("Велпа.Плеер: ");
        if (!size.hasVideo())
            return head + subject + QLatin1Char(' ') + durationText;
        return head + subject + sizePart + QLatin1Char(' ') + durationText;
    }
    case CaptionForm::SpacedWithoutDuration:
        if (!size.hasVideo())
            return QStringLiteral("Велпа.Плеер : ") + subject;
        return QStringLiteral("Велпа.Плеер : ") + subject + sizePart;
    case CaptionForm::LinkWindow:
        return QStringLiteral("Велпа.Плеер: ") + subject + sizePart;
    }
    return {};
}

#include "Playlists.h"

#include <cstdint>

namespace {

class Lcg {
public:
    explicit Lcg(std::uint64_t seed) : m_state(seed) {}
    int below(int n) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((m_state >> 33) % std::uint64_t(n));
    }

private:
    std::uint64_t m_state;
};

const char *const kWords[] = {"Love",   "Night",  "River", "Blue",   "Dancing",  "Summer",
                              "Rain",   "Heart",  "Fire",  "Road",   "Moon",     "Golden",
                              "Silent", "Wild",   "Home",  "Dreams", "Electric", "Stone",
                              "Ocean",  "Shadow", "Light", "Broken", "City",     "Time"};
const char16_t *const kCyrillic[] = {u"Ночь",   u"Река", u"Лето",   u"Дождь", u"Сердце",
                                     u"Дорога", u"Луна", u"Звезда", u"Город", u"Ветер"};
const char *const kExtensions[] = {".mp3", ".flac", ".ogg", ".m4a", ".mp4", ".mkv"};

template <std::size_t N> const char *Pick(Lcg &r, const char *const (&words)[N]) {
    return words[r.below(int(N))];
}

QString Words(Lcg &r, int count, bool cyrillic) {
    QString s;
    for (int i = 0; i < count; ++i) {
        if (i)
            s += QLatin1Char(' ');
        if (cyrillic)
            s += QString::fromUtf16(kCyrillic[r.below(int(std::size(kCyrillic)))]);
        else
            s += QLatin1String(Pick(r, kWords));
    }
    return s;
}

} // namespace

QStringList MakeEntries(int count, const QString &root) {
    Lcg r(20240611);
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int artist = r.below(5000);
        const bool cyrillic = r.below(5) == 0;
        if (r.below(20) == 0) {
            out << QStringLiteral("http://radio.example.net/stream/%1/%2.mp3")
                       .arg(artist)
                       .arg(Words(r, 2, false).replace(QLatin1Char(' '), QLatin1Char('_')));
            continue;
        }
        out << QStringLiteral("%1/Music/%2 %3/%4 (%5)/%6 - %7%8")
                   .arg(root, Words(r, 1 + r.below(2), cyrillic))
                   .arg(artist)
                   .arg(Words(r, 1 + r.below(3), cyrillic))
                   .arg(1960 + r.below(64))
                   .arg(1 + r.below(19), 2, 10, QLatin1Char('0'))
                   .arg(Words(r, 1 + r.below(4), cyrillic), QLatin1String(Pick(r, kExtensions)));
    }
    return out;
}

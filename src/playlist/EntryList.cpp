#include "playlist/EntryList.h"

#include <QChar>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kLargeBlock = 4 << 20;

} // namespace

void *AllocateLarge(std::size_t bytes) {
    if (bytes < kLargeBlock) {
        if (void *p = std::malloc(bytes ? bytes : 1))
            return p;
        throw std::bad_alloc();
    }
    void *p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void FreeLarge(void *p, std::size_t bytes) {
    if (!p)
        return;
    if (bytes < kLargeBlock)
        std::free(p);
    else
        ::munmap(p, bytes);
}

namespace {

bool FitsLatin1(QStringView s) {
    return QtPrivate::isLatin1(s);
}

// UTF-16 units below U+0100 to bytes.
void Narrow(char *out, const char16_t *in, qsizetype n) {
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < n; ++i)
        out[i] = char(in[i]);
}

} // namespace

EntryList::EntryList(const QStringList &entries) {
    append(entries);
}

EntryList::View EntryList::view(qsizetype i) const {
    const Slot &s = m_slots[size_t(i)];
    return {bytes() + s.pos, s.size, s.wide};
}

QString EntryList::at(qsizetype i) const {
    const View v = view(i);
    return v.wide ? v.utf16().toString() : QString(v.latin1());
}

QStringList EntryList::toStringList() const {
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(at(i));
    return out;
}

qsizetype EntryList::indexOf(QStringView entry) const {
    for (qsizetype i = 0; i < size(); ++i) {
        const View v = view(i);
        if (v.size == entry.size() && (v.wide ? v.utf16() == entry : v.latin1() == entry))
            return i;
    }
    return -1;
}

void EntryList::reserve(qsizetype entries, qsizetype units) {
    m_slots.reserve(m_slots.size() + size_t(entries));
    // Worst case: every entry wide and padded by one byte.
    const qsizetype bytes = m_used + 2 * units + entries + 2;
    m_pool.reserve(size_t(bytes + 1) / 2);
}

// The pool's bytes [pos, end) for a new entry, the pool grown to hold them.
char *EntryList::claim(qsizetype pos, qsizetype end) {
    const size_t units = size_t(end + 1) / 2;
    if (units > m_pool.size()) {
        // Doubling keeps appending one entry at a time linear; pages of the
        // reserve that are never written cost no memory.
        if (units > m_pool.capacity())
            m_pool.reserve(std::max(units, 2 * m_pool.capacity()));
        m_pool.resize(units);
    }
    return reinterpret_cast<char *>(m_pool.data()) + pos;
}

void EntryList::append(QStringView entry) {
    const bool wide = !FitsLatin1(entry);
    qsizetype pos = m_used;
    if (wide)
        pos += pos & 1;
    const qsizetype n = entry.size();
    const qsizetype end = pos + (wide ? 2 * n : n);
    char *out = claim(pos, end);
    if (wide)
        std::memcpy(out, entry.utf16(), size_t(2 * n));
    else
        Narrow(out, entry.utf16(), n);
    m_slots.push_back({pos, n, wide});
    m_used = end;
}

void EntryList::append(QLatin1StringView entry) {
    const qsizetype pos = m_used;
    const qsizetype n = entry.size();
    const qsizetype end = pos + n;
    std::memcpy(claim(pos, end), entry.data(), size_t(n));
    m_slots.push_back({pos, n, false});
    m_used = end;
}

void EntryList::append(const QStringList &entries) {
    qsizetype units = 0;
    for (const QString &e : entries)
        units += e.size();
    reserve(entries.size(), units);
    for (const QString &e : entries)
        append(QStringView(e));
}

void EntryList::removeAt(qsizetype i) {
    m_dead += slotBytes(m_slots[size_t(i)]);
    m_slots.erase(m_slots.begin() + i);
    compactIfWasteful();
}

void EntryList::move(qsizetype from, qsizetype to) {
    if (from == to)
        return;
    const auto b = m_slots.begin();
    if (from < to)
        std::rotate(b + from, b + from + 1, b + to + 1);
    else
        std::rotate(b + to, b + from, b + from + 1);
}

void EntryList::clear() {
    m_slots = {};
    m_pool = {};
    m_used = 0;
    m_dead = 0;
}

// Removed entries leave their bytes behind until they outweigh the live ones.
void EntryList::compactIfWasteful() {
    if (m_dead < 4096 || m_dead < m_used - m_dead)
        return;
    EntryList packed;
    packed.m_slots.reserve(m_slots.size());
    packed.m_pool.reserve(size_t(m_used - m_dead + qsizetype(m_slots.size()) + 2) / 2);
    for (qsizetype i = 0; i < size(); ++i) {
        const View v = view(i);
        if (v.wide)
            packed.append(v.utf16());
        else
            packed.append(QString(v.latin1()));
    }
    *this = std::move(packed);
}

// --- search ------------------------------------------------------------------

namespace {

// What QString's case-insensitive comparison makes of a unit: its simple case
// folding. A surrogate stays a surrogate and so never equals a key unit
// outside the surrogate range.
inline char16_t Fold(char16_t u) {
    return char16_t(QChar::toCaseFolded(char32_t(u)));
}

struct Latin1Folding {
    char16_t unit[256];
    Latin1Folding() {
        for (int c = 0; c < 256; ++c)
            unit[c] = Fold(char16_t(c));
    }
};
const Latin1Folding kLatin1Folding;

#if defined(__SSE2__)
// Tests 16 bytes of units at a time, from h[from] on, for the positions up to
// `last` whose unit is one of first[0..count) (count 1 to 4), and asks `rest`
// about each. -1 once `rest` accepts one; otherwise the first position the
// blocks left over (past `last` when a final block overlapping the one before
// covered them).
template <typename Unit, typename Rest>
qsizetype ScanBlocks(const Unit *h, qsizetype from, qsizetype last, const Unit *first, int count,
                     const Rest &rest) {
    constexpr qsizetype kUnits = 16 / sizeof(Unit);
    // The mask has a bit per byte; a unit's lowest byte stands for it.
    constexpr unsigned kUnitBits = sizeof(Unit) == 1 ? 0xffffu : 0x5555u;
    auto equal = [](__m128i a, __m128i b) {
        if constexpr (sizeof(Unit) == 1)
            return _mm_cmpeq_epi8(a, b);
        else
            return _mm_cmpeq_epi16(a, b);
    };
    __m128i want[4];
    for (int k = 0; k < count; ++k) {
        if constexpr (sizeof(Unit) == 1)
            want[k] = _mm_set1_epi8(char(first[k]));
        else
            want[k] = _mm_set1_epi16(short(first[k]));
    }
    // The candidates among the kUnits positions from `at`, the first `skip`
    // of them left out.
    auto block = [&](qsizetype at, qsizetype skip) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + at));
        __m128i eq = equal(v, want[0]);
        for (int k = 1; k < count; ++k)
            eq = _mm_or_si128(eq, equal(v, want[k]));
        unsigned bits = unsigned(_mm_movemask_epi8(eq)) & (kUnitBits << (sizeof(Unit) * skip));
        for (; bits; bits &= bits - 1)
            if (rest(at + qsizetype(__builtin_ctz(bits) / sizeof(Unit))))
                return true;
        return false;
    };
    qsizetype i = from;
    for (; i + kUnits <= last + 1; i += kUnits)
        if (block(i, 0))
            return -1;
    // The positions left over, in one last block that overlaps the one
    // before: no unit goes through the caller's slower loop.
    if (i <= last && last + 1 >= kUnits)
        return block(last + 1 - kUnits, i - (last + 1 - kUnits)) ? -1 : last + 1;
    return i;
}
#endif

} // namespace

EntryMatcher::EntryMatcher(const QString &key) : m_key(key) {
    for (const QChar c : key) {
        if (c.isSurrogate()) {
            m_general = true;
            return;
        }
        m_folded.push_back(Fold(c.unicode()));
    }
    if (m_folded.empty())
        return;
    const char16_t first = m_folded.front();
    for (int c = 0; c < 256; ++c) {
        if (kLatin1Folding.unit[c] != first)
            continue;
        if (m_first8Count == 4 || m_first8Count < 0)
            m_first8Count = -1;
        else
            m_first8[m_first8Count++] = static_cast<unsigned char>(c);
    }
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (QChar::isSurrogate(u) || Fold(char16_t(u)) != first)
            continue;
        if (m_first16Count == 4 || m_first16Count < 0)
            m_first16Count = -1;
        else
            m_first16[m_first16Count++] = char16_t(u);
    }
}

bool EntryMatcher::narrows(const EntryMatcher &wider) const {
    if (m_general || wider.m_general)
        return false;
    return m_folded.find(wider.m_folded) != std::u16string::npos;
}

bool EntryMatcher::matches(const EntryList::View &entry) const {
    if (m_general) {
        return entry.wide ? entry.utf16().contains(m_key, Qt::CaseInsensitive)
                          : QString(entry.latin1()).contains(m_key, Qt::CaseInsensitive);
    }
    if (m_folded.empty())
        return true;
    if (entry.wide)
        return matchesUtf16(static_cast<const char16_t *>(entry.data), entry.size);
    return matchesLatin1(static_cast<const unsigned char *>(entry.data), entry.size);
}

bool EntryMatcher::matchesLatin1(const unsigned char *h, qsizetype n) const {
    const qsizetype m = qsizetype(m_folded.size());
    const qsizetype last = n - m; // the last position the key fits at
    if (last < 0 || m_first8Count == 0)
        return false;
    const char16_t *key = m_folded.data();
    auto rest = [&](qsizetype i) {
        for (qsizetype j = 1; j < m; ++j)
            if (kLatin1Folding.unit[h[i + j]] != key[j])
                return false;
        return true;
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    if (m_first8Count > 0) {
        i = ScanBlocks(h, i, last, m_first8, m_first8Count, rest);
        if (i < 0)
            return true;
    }
#endif
    for (; i <= last; ++i)
        if (kLatin1Folding.unit[h[i]] == key[0] && rest(i))
            return true;
    return false;
}

bool EntryMatcher::matchesUtf16(const char16_t *h, qsizetype n) const {
    const qsizetype m = qsizetype(m_folded.size());
    const qsizetype last = n - m;
    if (last < 0 || m_first16Count == 0)
        return false;
    const char16_t *key = m_folded.data();
    auto rest = [&](qsizetype i) {
        for (qsizetype j = 1; j < m; ++j)
            if (Fold(h[i + j]) != key[j])
                return false;
        return true;
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    if (m_first16Count > 0) {
        i = ScanBlocks(h, i, last, m_first16, m_first16Count, rest);
        if (i < 0)
            return true;
    }
#endif
    for (; i <= last; ++i)
        if (Fold(h[i]) == key[0] && rest(i))
            return true;
    return false;
}

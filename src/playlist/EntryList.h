#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <new>
#include <vector>

// Memory for the big buffers of a large playlist: the entries and, while a
// file loads, its bytes and text. Blocks of several megabytes come straight
// from the kernel in 2 MB pages where it offers them: a million-entry
// playlist touches some 300 MB while it loads, and at 4 kB a page the page
// faults alone took longer than the decoding.
void *AllocateLarge(std::size_t bytes);
void FreeLarge(void *p, std::size_t bytes);

template <class T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U> &) {}
    T *allocate(std::size_t n) { return static_cast<T *>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) { FreeLarge(p, n * sizeof(T)); }
    template <class U> bool operator==(const LargeAllocator<U> &) const { return true; }
};
template <class T> using LargeVector = std::vector<T, LargeAllocator<T>>;

// The playlist's entry texts, packed into one buffer: an entry whose
// characters all lie below U+0100 takes one byte a character, any other two.
// A million entries of some 80 characters take about 100 MB this way, where
// a QStringList needs some 230 MB (a heap block and a 24-byte handle
// apiece); loading fills one buffer instead of making a million blocks, and
// a search scans it at memory speed.
class EntryList {
public:
    // One entry in place: Latin-1 bytes or UTF-16 units. Valid until the
    // list changes.
    struct View {
        const void *data = nullptr;
        qsizetype size = 0;
        bool wide = false;

        QLatin1StringView latin1() const {
            return QLatin1StringView(static_cast<const char *>(data), size);
        }
        QStringView utf16() const { return QStringView(static_cast<const char16_t *>(data), size); }
    };

    EntryList() = default;
    explicit EntryList(const QStringList &entries);

    qsizetype size() const { return qsizetype(m_slots.size()); }
    bool isEmpty() const { return m_slots.empty(); }
    View view(qsizetype i) const;
    QString at(qsizetype i) const;
    QStringList toStringList() const;
    qsizetype indexOf(QStringView entry) const; // -1 when absent

    // Room for `entries` more entries of `units` UTF-16 units in all.
    void reserve(qsizetype entries, qsizetype units);
    void append(QStringView entry);
    void append(QLatin1StringView entry);
    void append(const QStringList &entries);
    void removeAt(qsizetype i);
    // As QList::move: the entry at `from` ends up at index `to`.
    void move(qsizetype from, qsizetype to);
    void clear();

private:
    struct Slot {
        qsizetype pos;  // byte offset into the pool; even for wide entries
        qsizetype size; // characters
        bool wide;
    };

    const char *bytes() const { return reinterpret_cast<const char *>(m_pool.data()); }
    qsizetype slotBytes(const Slot &s) const { return s.wide ? 2 * s.size : s.size; }
    char *claim(qsizetype pos, qsizetype end);
    void compactIfWasteful();

    std::vector<Slot> m_slots;
    // char16_t units so that wide entries are aligned; narrow entries are
    // read and written as bytes, which may alias anything.
    LargeVector<char16_t> m_pool;
    qsizetype m_used = 0; // bytes of m_pool in use, the end of the last entry
    qsizetype m_dead = 0; // bytes that removed entries left behind
};

// Whether an entry contains a search key, ignoring case: the same answer as
// QString::contains(key, Qt::CaseInsensitive), which compares the simple
// case folding of each UTF-16 unit, found without making a QString of the
// entry. The first unit of the key is looked for 16 bytes at a time.
class EntryMatcher {
public:
    explicit EntryMatcher(const QString &key);

    bool matches(const EntryList::View &entry) const;
    // True when every entry this key matches is matched by `wider` too: its
    // folded key lies within this one's.
    bool narrows(const EntryMatcher &wider) const;

private:
    bool matchesLatin1(const unsigned char *h, qsizetype n) const;
    bool matchesUtf16(const char16_t *h, qsizetype n) const;

    QString m_key;
    bool m_general = false; // a key with surrogates: QString decides
    std::u16string m_folded;
    // The units that fold to the key's first unit, at most four of each width
    // (more, and every position is a candidate).
    unsigned char m_first8[4] = {};
    int m_first8Count = 0;
    char16_t m_first16[4] = {};
    int m_first16Count = 0;
};

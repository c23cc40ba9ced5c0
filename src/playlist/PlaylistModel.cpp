#include "playlist/PlaylistModel.h"

#include "playlist/Parallel.h"

#include <algorithm>
#include <thread>

namespace {

// Blanks and control characters go from both ends, as the search box trims.
QString TrimControls(const QString &s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

// The rows in [from, to) whose entries contain the key.
void Scan(const EntryList &entries, const EntryMatcher &matcher, int from, int to,
          std::vector<int> &rows) {
    for (int i = from; i < to; ++i)
        if (matcher.matches(entries.view(i)))
            rows.push_back(i);
}

// The first letter of a search looks at every entry; over a long list each
// core takes a share of them.
std::vector<int> ScanAll(const EntryList &entries, const EntryMatcher &matcher) {
    const int n = int(entries.size());
    constexpr int kSplitFrom = 100'000;
    const int parts = n >= kSplitFrom ? std::max(1, int(std::thread::hardware_concurrency())) : 1;
    std::vector<std::vector<int>> found(static_cast<size_t>(parts));
    RunParts(parts, [&](int k) {
        const int from = int(qint64(n) * k / parts);
        const int to = int(qint64(n) * (k + 1) / parts);
        // The first share's rows become the result: room for all of them.
        found[size_t(k)].reserve(size_t(k == 0 ? n : to - from));
        Scan(entries, matcher, from, to, found[size_t(k)]);
    });
    std::vector<int> rows = std::move(found[0]);
    for (size_t k = 1; k < found.size(); ++k)
        rows.insert(rows.end(), found[k].begin(), found[k].end());
    return rows;
}

} // namespace

PlaylistModel::PlaylistModel(QObject *parent) : QAbstractListModel(parent) {}

int PlaylistModel::count() const {
    return m_filtered ? int(m_visible.size()) : int(m_entries.size());
}

QString PlaylistModel::entry(int row) const {
    return m_entries.at(sourceRow(row));
}

void PlaylistModel::setItemIndexQuietly(int row) {
    m_itemIndex = (row >= 0 && row < count()) ? row : -1;
}

void PlaylistModel::setItemIndex(int row) {
    const int before = m_itemIndex;
    setItemIndexQuietly(row);
    if (m_itemIndex != before)
        emit itemIndexChanged(m_itemIndex);
}

void PlaylistModel::append(const QStringList &entries) {
    if (entries.isEmpty())
        return;
    const int firstSource = int(m_entries.size());
    forgetFilters();
    if (!m_filtered) {
        beginInsertRows({}, firstSource, firstSource + int(entries.size()) - 1);
        m_entries.append(entries);
        endInsertRows();
        return;
    }
    // Added rows that match the search in effect show at once.
    m_entries.append(entries);
    std::vector<int> shown;
    for (int i = firstSource; i < int(m_entries.size()); ++i)
        if (m_matcher->matches(m_entries.view(i)))
            shown.push_back(i);
    if (shown.empty())
        return;
    const int first = int(m_visible.size());
    beginInsertRows({}, first, first + int(shown.size()) - 1);
    m_visible.insert(m_visible.end(), shown.begin(), shown.end());
    endInsertRows();
}

void PlaylistModel::deleteRow(int row) {
    if (row < 0 || row >= count())
        return;
    const int source = sourceRow(row);
    forgetFilters();
    beginRemoveRows({}, row, row);
    m_entries.removeAt(source);
    if (m_filtered) {
        m_visible.erase(m_visible.begin() + row);
        for (auto &v : m_visible)
            if (v > source)
                --v;
    }
    endRemoveRows();
    // The selection follows the row it was on; the deleted row's goes.
    if (m_itemIndex == row)
        setItemIndex(-1);
    else if (m_itemIndex > row)
        setItemIndex(m_itemIndex - 1);
}

void PlaylistModel::clearRows() {
    beginResetModel();
    m_entries.clear();
    m_visible.clear();
    forgetFilters();
    endResetModel();
    setItemIndex(-1);
}

void PlaylistModel::moveEntry(int from, int to) {
    const int n = count();
    if (from < 0 || from >= n || to < 0 || to >= n)
        return;
    if (from != to) {
        const int sFrom = sourceRow(from);
        const int sTo = sourceRow(to);
        forgetFilters();
        beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
        m_entries.move(sFrom, sTo);
        if (m_filtered) {
            // The moved entry takes the target's place in the full list; the
            // source rows in between shift by one, the visible order follows.
            for (auto &v : m_visible) {
                if (v == sFrom)
                    v = sTo;
                else if (sFrom < sTo && v > sFrom && v <= sTo)
                    --v;
                else if (sFrom > sTo && v >= sTo && v < sFrom)
                    ++v;
            }
            std::sort(m_visible.begin(), m_visible.end());
        }
        endMoveRows();
    }
    // The moved row becomes the selected row; the view needs telling even when
    // the index stays the same number.
    m_itemIndex = to;
    emit itemIndexChanged(to);
}

void PlaylistModel::setEntries(const QStringList &entries, TextEncoding encoding) {
    setEntryList(EntryList(entries), encoding);
}

void PlaylistModel::setEntryList(EntryList entries, TextEncoding encoding) {
    beginResetModel();
    m_entries = std::move(entries);
    m_encoding = encoding;
    // Nothing found in the old list holds for the new one.
    forgetFilters();
    m_matcher.reset();
    rebuildFilter();
    endResetModel();
    m_itemIndex = -1;
    emit itemIndexChanged(-1);
}

void PlaylistModel::setSearchText(const QString &text) {
    if (text != m_search) {
        m_search = text;
        beginResetModel();
        rebuildFilter();
        endResetModel();
        emit searchTextChanged(m_search);
    }
    m_itemIndex = -1;
    emit itemIndexChanged(-1);
}

void PlaylistModel::forgetFilters() {
    m_recent.clear();
}

// The rows are always those of the whole list that contain the key; how they
// are found only decides the time it takes. A key that contains the previous
// one can only match rows that matched before, so one more letter looks at
// the rows in view alone; a backspace goes back to rows already found.
void PlaylistModel::rebuildFilter() {
    const bool wasFiltered = m_filtered && m_matcher;
    m_filtered = !m_search.isEmpty() && m_search != kSearchPlaceholder;
    if (!m_filtered) {
        m_visible = {};
        m_matcher.reset();
        m_key.clear();
        forgetFilters();
        return;
    }
    const QString key = TrimControls(m_search).toLower();
    if (wasFiltered && key == m_key)
        return;
    auto matcher = std::make_unique<EntryMatcher>(key);
    std::vector<int> rows;
    const auto found = std::find_if(m_recent.begin(), m_recent.end(),
                                    [&key](const auto &r) { return r.first == key; });
    if (found != m_recent.end()) {
        rows = found->second;
    } else if (wasFiltered && matcher->narrows(*m_matcher)) {
        rows.reserve(m_visible.size());
        for (const int i : m_visible)
            if (matcher->matches(m_entries.view(i)))
                rows.push_back(i);
    } else {
        rows = ScanAll(m_entries, *matcher);
    }
    if (wasFiltered) {
        constexpr size_t kRecentKeys = 4;
        m_recent.emplace(m_recent.begin(), m_key, std::move(m_visible));
        if (m_recent.size() > kRecentKeys)
            m_recent.pop_back();
    }
    m_visible = std::move(rows);
    m_matcher = std::move(matcher);
    m_key = key;
}

QModelIndex PlaylistModel::index(int row, int column, const QModelIndex &parent) const {
    if (column != 0 || row < 0 || parent.isValid() || row >= count())
        return {};
    return createIndex(row, 0);
}

int PlaylistModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlaylistModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return entry(index.row());
    return {};
}

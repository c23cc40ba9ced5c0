#include "playlist/PlaylistModel.h"

#include <algorithm>

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

} // namespace

PlaylistModel::PlaylistModel(QObject *parent) : QAbstractListModel(parent) {}

int PlaylistModel::count() const {
    return m_filtered ? int(m_visible.size()) : int(m_entries.size());
}

const QString &PlaylistModel::entry(int row) const {
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

bool PlaylistModel::matches(const QString &entry) const {
    return entry.contains(m_key, Qt::CaseInsensitive);
}

void PlaylistModel::append(const QStringList &entries) {
    if (entries.isEmpty())
        return;
    const int firstSource = int(m_entries.size());
    if (!m_filtered) {
        beginInsertRows({}, firstSource, firstSource + int(entries.size()) - 1);
        m_entries += entries;
        endInsertRows();
        return;
    }
    // Added rows that match the search in effect show at once.
    std::vector<int> shown;
    for (int i = 0; i < entries.size(); ++i)
        if (matches(entries.at(i)))
            shown.push_back(firstSource + i);
    m_entries += entries;
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
    beginResetModel();
    m_entries = entries;
    m_encoding = encoding;
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

void PlaylistModel::rebuildFilter() {
    m_filtered = !m_search.isEmpty() && m_search != kSearchPlaceholder;
    m_visible.clear();
    if (!m_filtered)
        return;
    m_key = TrimControls(m_search).toLower();
    m_visible.reserve(size_t(m_entries.size()));
    for (int i = 0; i < m_entries.size(); ++i)
        if (matches(m_entries.at(i)))
            m_visible.push_back(i);
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

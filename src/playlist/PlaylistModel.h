#pragma once

#include "playlist/EntryList.h"
#include "playlist/TextEncoding.h"

#include <QAbstractListModel>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

inline const QString kSearchPlaceholder = QStringLiteral("Поиск ...");

// The playlist: the ordered entry texts, the selected row and the search
// filter. While a search is in effect, "the playlist" that every command sees
// (its count, the entry at an index, the selected row) is the sequence of the
// matching rows; the others stay in the list and come back when it ends.
// The list view shows exactly these visible rows.
class PlaylistModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PlaylistModel(QObject *parent = nullptr);

    // The visible rows.
    int count() const;
    QString entry(int row) const; // 0 <= row < count()
    EntryList::View entryView(int row) const { return m_entries.view(sourceRow(row)); }
    int itemIndex() const { return m_itemIndex; }
    // Makes row the selected row; an index outside the rows selects none.
    void setItemIndex(int row);
    void selectRow(int row) { setItemIndex(row); }

    // Edits. Rows are visible-row indices; the full list changes beneath.
    void append(const QStringList &entries);
    void deleteRow(int row); // outside the rows: nothing
    void clearRows();
    // Moves the row to the target row's place; it becomes the selected row.
    void moveEntry(int from, int to);

    // The whole list, hidden rows included.
    const EntryList &entries() const { return m_entries; }
    QStringList allEntries() const { return m_entries.toStringList(); }
    void setEntries(const QStringList &entries, TextEncoding encoding);
    void setEntryList(EntryList entries, TextEncoding encoding);
    TextEncoding encoding() const { return m_encoding; }

    // The search box text. Every change re-applies the filter and leaves no
    // row selected.
    const QString &searchText() const { return m_search; }
    void setSearchText(const QString &text);
    bool searchInEffect() const { return m_filtered; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The base's index() asks rowCount() and columnCount() through virtual
    // calls; the list view asks for every row's index at each layout.
    QModelIndex index(int row, int column = 0,
                      const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

signals:
    void itemIndexChanged(int row);
    void searchTextChanged(const QString &text);

private:
    int sourceRow(int row) const { return m_filtered ? m_visible[size_t(row)] : row; }
    void rebuildFilter();
    void forgetFilters();
    void setItemIndexQuietly(int row);

    EntryList m_entries;
    TextEncoding m_encoding = TextEncoding::Plain;
    QString m_search = kSearchPlaceholder;
    bool m_filtered = false;
    std::vector<int> m_visible; // source rows of the visible rows, while filtered
    // The key in effect (the trimmed, lower-cased search text) and the rows
    // of the last few keys, while the list stays as it is: typing on narrows
    // the rows in view, a backspace finds its rows here.
    QString m_key;
    std::unique_ptr<EntryMatcher> m_matcher;
    std::vector<std::pair<QString, std::vector<int>>> m_recent;
    int m_itemIndex = -1;
};

#pragma once

#include "playlist/EntryList.h"

#include <QString>

// An entry is a link when its first five characters are exactly "http:".
bool IsLink(const QString &entry);
// True only for an existing regular file; symbolic links are followed.
bool FileExists(const QString &path);
// The file test comes first, then the link test; nothing is cached, so a file
// created or deleted between two commands is seen at the next one.
inline bool IsPlayable(const QString &entry) {
    return FileExists(entry) || IsLink(entry);
}

// The same tests on an entry in place, as the searches over the list make
// them: one file-system query and no copy of the entry.
bool IsLink(const EntryList::View &entry);
bool FileExists(const EntryList::View &entry);
inline bool IsPlayable(const EntryList::View &entry) {
    return FileExists(entry) || IsLink(entry);
}

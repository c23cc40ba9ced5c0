#pragma once

#include <QString>
#include <QStringList>

// Playlists shaped like a real music folder: artist, album and numbered
// tracks, about one name in five in Cyrillic and one entry in twenty a link;
// entries average some 80 characters. The same seed always gives the same
// list, so runs compare.
QStringList MakeEntries(int count, const QString &root = QStringLiteral("/home/user"));

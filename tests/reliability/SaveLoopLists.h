#pragma once

#include <QString>
#include <QStringList>

// The two playlists the save loop writes over each other, in turns. They
// differ in every entry and in length, so a file made of parts of both, or
// cut short, is told from either.
inline QStringList SaveLoopList(int which, int count) {
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        entries << (which == 0 ? QStringLiteral("/music/a/%1.mp3").arg(i)
                               : QStringLiteral("/home/user/Music/b/%1 - track.ogg").arg(i));
    }
    return entries;
}

#include "playlist/Searches.h"

#include "playlist/IndexLabel.h"
#include "playlist/Playable.h"
#include "playlist/PlaylistModel.h"

#include <algorithm>

namespace {

// The caller's count is trusted only as far as the list reaches.
int Bound(const PlaylistModel &list, int count) {
    return std::min(count, list.count());
}

QString Hit(IndexLabel &nextRL, int i) {
    nextRL.setIndex(i);
    return nextRL.text();
}

} // namespace

QString FindPlayableForward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count) {
    nextRL.reset();
    const int n = Bound(list, count);
    for (int i = std::max(start, 0); i < n; ++i)
        if (IsPlayable(list.entryView(i)))
            return Hit(nextRL, i);
    return QStringLiteral("-1");
}

QString FindPlayableBackward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count) {
    nextRL.reset();
    const int n = Bound(list, count);
    for (int i = std::min(start, n - 1); i >= 0; --i)
        if (IsPlayable(list.entryView(i)))
            return Hit(nextRL, i);
    if (n > 0 && IsPlayable(list.entryView(n - 1)))
        return Hit(nextRL, n - 1);
    return QStringLiteral("-1");
}

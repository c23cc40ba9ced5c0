#pragma once

#include <QString>

class PlaylistModel;
class IndexLabel;

// The nearest playable entry from start up to count - 1. Records the hit in
// nextRL (reset to its design text first) and returns its decimal text, or
// "-1" when there is none.
QString FindPlayableForward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count);

// The nearest playable entry from start down to 0; when there is none, the
// last entry alone is tried. A start beyond the last entry begins at the last
// entry, so no entry outside the list is ever read.
QString FindPlayableBackward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count);

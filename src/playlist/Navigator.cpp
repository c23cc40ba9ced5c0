// Next and Previous: which entry follows or precedes, by the repeat and
// shuffle switches, skipping entries that cannot be played.
#include "app/Errors.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playlist/Playable.h"
#include "playlist/Searches.h"

void Player::missingFile(const QString &entry) {
    AppDialogs().information(MissingFileText(entry));
}

// Acts on the chosen entry: a local file starts, a link starts, a missing
// file picked at random is reported. The searches never yield a missing file;
// should one vanish in between, nothing happens.
void Player::startAt(int index, bool fromSearch) {
    const QString entry = m_state.list.entry(index);
    const bool link = IsLink(entry);
    if (!link) {
        if (FileExists(entry)) {
            StartEntry(index, entry, EntryKind::LocalFile,
                       fromSearch ? StartSite::NextPreviousSearch : StartSite::NextPreviousRandom);
        } else if (!fromSearch) {
            missingFile(entry);
        }
        return;
    }
    // Every link starts, also one picked at random while the advance flag is
    // clear: a local file picked in the same state starts too.
    StartEntry(index, entry, EntryKind::Link, StartSite::NextPreviousLink);
}

void Player::Next() {
    PlaylistModel &list = m_state.list;
    const int n = list.count();
    // Computed from the selection as the user left it, before the restore.
    const bool advance = m_state.repeat() || list.itemIndex() != n - 1;
    // Back to the current entry; an index outside the list selects no row.
    if (m_state.iiCheck.holdsIndex())
        list.setItemIndex(m_state.iiCheck.toInt());
    const int r = list.itemIndex();

    bool fromSearch = true;
    if (n > 0 && r == n - 1 && advance) {
        FindPlayableForward(list, m_state.nextRL, 0, n);
    } else if (n > 0 && !m_state.shuffle() && advance) {
        FindPlayableForward(list, m_state.nextRL, r + 1, n);
    } else if (n > 0 && (!m_state.shuffle() || r >= 0)) {
        fromSearch = false;
        m_state.nextRL.setIndex(randomRange(n));
    } else {
        return;
    }
    // A search without a hit leaves the current entry playing.
    if (!m_state.nextRL.holdsIndex())
        return;
    startAt(m_state.nextRL.toInt(), fromSearch);
}

void Player::Previous() {
    PlaylistModel &list = m_state.list;
    const int n = list.count();
    const int r = list.itemIndex();
    bool fromSearch = true;
    if (n > 0 && r == 0) {
        FindPlayableBackward(list, m_state.nextRL, -1, n);
    } else if (n > 0 && !m_state.shuffle() && r >= 0) {
        FindPlayableBackward(list, m_state.nextRL, r - 1, n);
    } else if (n > 0 && r >= 0) {
        fromSearch = false;
        m_state.nextRL.setIndex(randomRange(n));
    } else {
        return;
    }
    if (!m_state.nextRL.holdsIndex())
        return;
    startAt(m_state.nextRL.toInt(), fromSearch);
}

// The play/pause button, Space, and a double click on a playlist row.
#include "app/Errors.h"
#include "engine/MediaEngine.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playlist/Playable.h"

namespace {

// The run-time library's text for reading a row that is not there.
[[noreturn]] void ListIndexError(int index) {
    throw AppError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

} // namespace

void Player::PlayPauseClick() {
    bool started = false;
    if (m_state.pauseLook() == kPlayLook && m_state.bar.value() == 0.0f &&
        m_state.iiCheck.holdsIndex()) {
        const int i = m_state.iiCheck.toInt();
        if (i < 0 || i >= m_state.list.count())
            ListIndexError(i);
        const QString entry = m_state.list.entry(i);
        // A link is started as a link even where a file of that name exists.
        if (IsLink(entry)) {
            StartEntry(i, entry, EntryKind::Link, StartSite::PlayPause);
            started = true;
        } else if (FileExists(entry)) {
            StartEntry(i, entry, EntryKind::LocalFile, StartSite::PlayPause);
            started = true;
        }
    }
    if (m_state.pauseHint() == kPausedHint) {
        m_engine.play();
        m_state.setPauseHint(QString());
        if (m_engine.state() == MediaState::Playing)
            m_state.setPauseLook(kPauseLook);
    } else if (!started) {
        m_engine.stop();
        m_state.setPauseHint(kPausedHint);
        if (m_engine.state() == MediaState::Stopped)
            m_state.setPauseLook(kPlayLook);
    }
}

void Player::TogglePause() {
    if (m_state.pauseHint() == kPausedHint) {
        m_engine.play();
        m_state.setPauseHint(QString());
    } else {
        m_engine.stop();
        m_state.setPauseHint(kPausedHint);
    }
}

void Player::PlaySelectedRow() {
    PlaylistModel &list = m_state.list;
    const int r = list.itemIndex();
    if (r < 0)
        m_state.iiCheck.reset();
    else
        m_state.iiCheck.setIndex(r);
    if (list.count() == 0 || r < 0)
        return;
    const QString entry = list.entry(r);
    if (!IsLink(entry)) {
        if (FileExists(entry))
            StartEntry(r, entry, EntryKind::LocalFile, StartSite::DoubleClick);
        else
            missingFile(entry);
        return;
    }
    StartEntry(r, entry, EntryKind::Link, StartSite::DoubleClick);
}

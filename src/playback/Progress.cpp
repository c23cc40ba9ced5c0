// The 100 ms tick, seeking, and the end-of-entry check every 3 s.
#include "engine/MediaEngine.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playback/Texts.h"

#include <cmath>

void Player::Tick() {
    const PlaylistModel &list = m_state.list;
    m_state.setNextEnabled(!(list.itemIndex() + 1 == list.count() && !m_state.repeat()));

    const MediaTime position = m_engine.currentTime();
    m_state.bar.tag = 1;
    m_state.bar.setValue(float(position));
    m_state.bar.tag = 0;

    if (m_engine.state() == MediaState::Playing)
        m_state.setClock(ClockText(position));
    m_state.requestPauseFocus();
}

void Player::TrackBarChange() {
    if (m_state.bar.tag == 0) {
        // Halves round to even, as the bar's rounding does.
        m_engine.seek(MediaTime(std::nearbyint(double(m_state.bar.value()))));
    }
    if (!m_state.endCheckEnabled())
        m_state.setEndCheckEnabled(true);
}

void Player::EndCheck() {
    const PlaylistModel &list = m_state.list;
    auto atEnd = [this] { return m_state.bar.atEnd(); };
    auto lastRow = [&list] { return list.itemIndex() == list.count() - 1; };
    auto unload = [this] {
        m_engine.stop();
        m_engine.clear();
        m_state.bar.setValue(0.0f);
    };

    if (atEnd() && !lastRow()) {
        unload();
        Next();
    }
    if (atEnd() && lastRow() && m_state.repeat()) {
        unload();
        Next();
    }
    if (atEnd() && lastRow() && !m_state.repeat()) {
        unload();
        m_state.setClock(kClockZero);
        m_state.setPauseHint(kPausedHint);
        m_state.setPauseLook(kPlayLook);
        m_state.setEndCheckEnabled(false);
    }
}

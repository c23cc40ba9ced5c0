#include "playback/PlayerState.h"

#include <algorithm>
#include <cmath>

PlayerState::PlayerState(QObject *parent) : QObject(parent) {}

void PlayerState::setRepeat(bool on) {
    if (on != m_repeat) {
        m_repeat = on;
        emit repeatChanged(on);
    }
}

void PlayerState::setShuffle(bool on) {
    if (on != m_shuffle) {
        m_shuffle = on;
        emit shuffleChanged(on);
    }
}

void PlayerState::setVolume(float value) {
    // The bar holds its value within its range.
    value = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    if (value != m_volume) {
        m_volume = value;
        emit volumeChanged(value);
    }
}

void PlayerState::setMainCaption(const QString &caption, const QString &subject) {
    if (caption != m_mainCaption || subject != m_captionSubject) {
        m_mainCaption = caption;
        m_captionSubject = subject;
        emit mainCaptionChanged(caption);
    }
}

void PlayerState::setListCaption(const QString &caption) {
    if (caption != m_listCaption) {
        m_listCaption = caption;
        emit listCaptionChanged(caption);
    }
}

void PlayerState::setFullScreen(bool on) {
    if (on != m_fullScreen) {
        m_fullScreen = on;
        emit fullScreenChanged(on);
    }
}

void PositionBar::setMax(float max) {
    if (std::isnan(max))
        max = 0.0f;
    max = std::max(max, 0.0f);
    if (max != m_max) {
        m_max = max;
        emit rangeChanged();
    }
    if (m_value > m_max)
        setValue(m_max);
}

void PositionBar::setValue(float value) {
    value = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, m_max);
    if (value != m_value) {
        m_value = value;
        emit changed();
    }
}

void PlayerState::setClock(const QString &text) {
    if (text != m_clock) {
        m_clock = text;
        emit clockChanged(text);
    }
}

void PlayerState::setPauseLook(const QString &look) {
    if (look != m_pauseLook) {
        m_pauseLook = look;
        emit pauseButtonChanged();
    }
}

void PlayerState::setPauseHint(const QString &hint) {
    if (hint != m_pauseHint) {
        m_pauseHint = hint;
        emit pauseButtonChanged();
    }
}

void PlayerState::setNextEnabled(bool on) {
    if (on != m_nextEnabled) {
        m_nextEnabled = on;
        emit nextEnabledChanged(on);
    }
}

void PlayerState::setEndCheckEnabled(bool on) {
    if (on != m_endCheck) {
        m_endCheck = on;
        emit endCheckEnabledChanged(on);
    }
}

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

void PlayerState::setMainCaption(const QString &caption) {
    if (caption != m_mainCaption) {
        m_mainCaption = caption;
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

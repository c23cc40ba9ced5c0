#include "ui/TrackBar.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSteps = 10000;
}

TrackBar::TrackBar(const QString &objectName, QWidget *parent) : QSlider(Qt::Horizontal, parent) {
    setObjectName(objectName);
    QSlider::setRange(0, kSteps);
    // Report a change only when the user lets go of the thumb, not while dragging.
    setTracking(false);
    connect(this, &QSlider::valueChanged, this, [this](int v) {
        if (m_syncing)
            return;
        setValue(float(double(v) / kSteps * double(m_max)));
    });
}

void TrackBar::setMax(float max) {
    m_max = std::max(max, 0.0f);
    if (m_value > m_max) {
        m_value = m_max;
        syncSlider();
        emit changed();
    } else {
        syncSlider();
    }
}

void TrackBar::setValue(float value) {
    if (std::isnan(value))
        value = 0.0f;
    value = std::clamp(value, 0.0f, m_max);
    if (value == m_value) {
        syncSlider();
        return;
    }
    m_value = value;
    syncSlider();
    emit changed();
}

void TrackBar::syncSlider() {
    m_syncing = true;
    const int pos = m_max > 0 ? int(std::lround(double(m_value) / double(m_max) * kSteps)) : 0;
    QSlider::setValue(pos);
    m_syncing = false;
}

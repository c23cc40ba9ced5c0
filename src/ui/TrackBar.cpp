#include "ui/TrackBar.h"

#include <cmath>

namespace {
constexpr int kSteps = 10000;
}

TrackBar::TrackBar(const QString &objectName, QWidget *parent) : QSlider(Qt::Horizontal, parent) {
    setObjectName(objectName);
    QSlider::setRange(0, kSteps);
    setTracking(false);
    connect(this, &QSlider::valueChanged, this, [this](int v) {
        if (!m_syncing)
            emit userChanged(v == kSteps ? m_max : float(double(v) / kSteps * double(m_max)));
    });
}

void TrackBar::display(float max, float value) {
    m_max = max;
    const int pos = max > 0 ? int(std::lround(double(value) / double(max) * kSteps)) : 0;
    if (pos == sliderPosition() && pos == QSlider::value())
        return;
    m_syncing = true;
    QSlider::setValue(pos);
    m_syncing = false;
}

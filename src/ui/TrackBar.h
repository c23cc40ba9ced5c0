#pragma once

#include <QSlider>

// A horizontal bar over a floating-point range 0..max (the position bar in
// media time units, the volume bar in 0..1). It only shows a value kept
// elsewhere; the slider's integer steps just draw it. A move by the user is
// reported when the thumb is let go, not while it is dragged.
class TrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TrackBar(const QString &objectName, QWidget *parent = nullptr);

    void display(float max, float value);
    float max() const { return m_max; }

signals:
    void userChanged(float value);

private:
    float m_max = 1.0f;
    bool m_syncing = false;
};

#pragma once

#include <QSlider>

// A horizontal bar over a floating-point range 0..max (the position bar in
// media time units, the volume bar in 0..1). The slider's own integer steps
// only draw it; the value is kept in single precision as set.
class TrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TrackBar(const QString &objectName, QWidget *parent = nullptr);

    float max() const { return m_max; }
    void setMax(float max);
    float value() const { return m_value; }
    // Sets the value (held within 0..max); a different value reports a change.
    void setValue(float value);

signals:
    // The value changed, by the program or when the user let go of the thumb.
    void changed();

private:
    void syncSlider();

    float m_max = 1.0f;
    float m_value = 0.0f;
    bool m_syncing = false;
};

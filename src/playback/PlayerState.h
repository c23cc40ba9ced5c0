#pragma once

#include "playback/Texts.h"
#include "playlist/IndexLabel.h"
#include "playlist/PlaylistModel.h"

#include <QObject>
#include <QString>

// The position bar: a range 0..max and a value in media time units, both
// single precision as the bar keeps them. The tag is 1 while the 100 ms tick
// moves the bar, so that its change handler does not seek.
class PositionBar : public QObject {
    Q_OBJECT
public:
    float max() const { return m_max; }
    float value() const { return m_value; }
    int tag = 0;

    // A maximum below the value brings the value down to it, which is a change.
    void setMax(float max);
    // A different value reports a change.
    void setValue(float value);
    bool atEnd() const { return m_value == m_max; }

signals:
    void changed();      // the value changed
    void rangeChanged(); // the maximum changed (the view redraws)

private:
    float m_max = 100.0f;
    float m_value = 0.0f;
};

inline const QString kPlayLook = QStringLiteral("playtoolbuttonbordered");
inline const QString kPauseLook = QStringLiteral("pausetoolbuttonbordered");
inline const QString kPausedHint = QStringLiteral("Пауза");

// The state the windows share, held apart from any widget so the commands
// can run (and be tested) without a window; the windows mirror it.
class PlayerState : public QObject {
    Q_OBJECT
public:
    explicit PlayerState(QObject *parent = nullptr);

    PlaylistModel list;                            // ListBox1 and its search box
    IndexLabel iiCheck{QStringLiteral("iiCheck")}; // current-entry index
    IndexLabel nextRL{QStringLiteral("nextRL")};   // last search result

    bool repeat() const { return m_repeat; }
    void setRepeat(bool on);
    bool shuffle() const { return m_shuffle; }
    void setShuffle(bool on);

    // The volume bar's value, 0 to 1 in single precision; the player's volume
    // is 1 minus this.
    float volume() const { return m_volume; }
    void setVolume(float value);

    const QString &mainCaption() const { return m_mainCaption; }
    // The subject the caption names (a file's display name or a link); empty
    // for the fixed captions. The desktop's media controls show it as the title.
    const QString &captionSubject() const { return m_captionSubject; }
    void setMainCaption(const QString &caption, const QString &subject = QString());
    const QString &listCaption() const { return m_listCaption; }
    void setListCaption(const QString &caption);

    bool fullScreen() const { return m_fullScreen; } // fScreen
    void setFullScreen(bool on);

    PositionBar bar; // TrackBar

    const QString &clock() const { return m_clock; } // cTime
    void setClock(const QString &text);

    // bPause: its style lookup (the look) and its hint (the paused marker).
    const QString &pauseLook() const { return m_pauseLook; }
    void setPauseLook(const QString &look);
    const QString &pauseHint() const { return m_pauseHint; }
    void setPauseHint(const QString &hint);

    bool nextEnabled() const { return m_nextEnabled; } // bNext.Enabled
    void setNextEnabled(bool on);

    bool endCheckEnabled() const { return m_endCheck; } // Timer2.Enabled
    void setEndCheckEnabled(bool on);

    // Requests the windows act on at once.
    void requestMainHeight(int height) { emit mainHeightRequested(height); }
    void requestPauseFocus() { emit pauseFocusRequested(); }

signals:
    void repeatChanged(bool on);
    void shuffleChanged(bool on);
    void volumeChanged(float value);
    void mainCaptionChanged(const QString &caption);
    void listCaptionChanged(const QString &caption);
    void fullScreenChanged(bool on);
    void clockChanged(const QString &text);
    void pauseButtonChanged();
    void nextEnabledChanged(bool on);
    void endCheckEnabledChanged(bool on);
    void mainHeightRequested(int height);
    void pauseFocusRequested();

private:
    bool m_repeat = false;
    bool m_shuffle = false;
    float m_volume = 0.5f;
    QString m_mainCaption = kMainDesignCaption;
    QString m_captionSubject;
    QString m_listCaption = kListDesignCaption;
    bool m_fullScreen = false;
    QString m_clock = kClockZero;
    QString m_pauseLook = kPlayLook;
    QString m_pauseHint;
    bool m_nextEnabled = true;
    bool m_endCheck = true;
};

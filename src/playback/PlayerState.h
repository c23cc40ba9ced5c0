#pragma once

#include "playback/Texts.h"
#include "playlist/IndexLabel.h"
#include "playlist/PlaylistModel.h"

#include <QObject>
#include <QString>

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
    void setMainCaption(const QString &caption);
    const QString &listCaption() const { return m_listCaption; }
    void setListCaption(const QString &caption);

    bool fullScreen() const { return m_fullScreen; } // fScreen
    void setFullScreen(bool on);

signals:
    void repeatChanged(bool on);
    void shuffleChanged(bool on);
    void volumeChanged(float value);
    void mainCaptionChanged(const QString &caption);
    void listCaptionChanged(const QString &caption);
    void fullScreenChanged(bool on);

private:
    bool m_repeat = false;
    bool m_shuffle = false;
    float m_volume = 0.5f;
    QString m_mainCaption = kMainDesignCaption;
    QString m_listCaption = kListDesignCaption;
    bool m_fullScreen = false;
};

#pragma once

#include <QObject>
#include <QString>
#include <functional>

class PlayerState;
class MediaEngine;

enum class EntryKind { LocalFile, Link };

// Where a start comes from; each site has its own order of steps, labels,
// caption form and height rule.
enum class StartSite {
    NextPreviousSearch, // Next or Previous, a local file the search found
    NextPreviousRandom, // Next or Previous, a local file picked at random
    NextPreviousLink,   // Next or Previous, a link
    DoubleClick,        // a double click on a playlist row
    PlayPause,          // the play button starting the current entry
    LinkWindow,         // the link window in open mode
};

// The playback commands, written against the shared state and the media
// engine; the windows call them from their handlers. Each raises AppError on
// a failure, which ends the command at that point.
class Player : public QObject {
    Q_OBJECT
public:
    Player(PlayerState &state, MediaEngine &engine, QObject *parent = nullptr);

    PlayerState &state() { return m_state; }
    MediaEngine &engine() { return m_engine; }

    // RandomRange(0, n): 0 <= x < n. Replaceable so tests can script picks.
    std::function<int(int n)> randomRange;

    // The one start sequence.
    void StartEntry(int index, const QString &entry, EntryKind kind, StartSite site);

    void Next();                        // bNextClick
    void Previous();                    // bPreviousClick
    void PlayPauseClick();              // bPauseClick
    void TogglePause();                 // Space
    void PlaySelectedRow();             // ListBox1DblClick
    void OpenFile(const QString &path); // bOpenClick, once the dialog gave a file
    void OpenLink(const QString &link); // the link window's open mode

    void Tick();           // Timer1Timer
    void TrackBarChange(); // the position bar's change handler
    void EndCheck();       // Timer2Timer
    void VolumeBarChange();

private:
    void startAt(int index, bool fromSearch);
    void missingFile(const QString &entry);
    void applyHeight(bool evenInFullScreen);
    float playerVolume() const;

    PlayerState &m_state;
    MediaEngine &m_engine;
};

inline const QString kLinkPrefix = QStringLiteral("http:");
// The answer to an "https" link, which the player cannot play.
inline const QString kHttpsRefusedText = QStringLiteral("HTTPS не поддерживается, только HTTP.");
QString MissingFileText(const QString &entry);

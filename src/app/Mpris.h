#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class TForm1;

inline const QString kMprisServiceName = QStringLiteral("org.mpris.MediaPlayer2.velpa");
inline const QString kMprisObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kMprisRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kMprisPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// The desktop entry's name, without ".desktop".
inline const QString kDesktopEntryName = QStringLiteral("velpa-player");

// The player as an MPRIS 2 media player on the session bus, which is how media
// keys, the desktop's media controls and applets reach it. Every method runs
// the handler of the button it stands for, through the same error report, so
// the bus adds no rules of its own. While a message box or a file dialog is
// open the windows take no clicks, and the bus's calls are dropped likewise.
class Mpris : public QObject {
    Q_OBJECT
public:
    explicit Mpris(TForm1 &window, QObject *parent = nullptr);
    ~Mpris() override;

    // Exports the object and takes the well-known name; a second player takes
    // the name with ".instance<pid>" after it, as the MPRIS rules ask. Returns
    // false, with nothing left on the bus, when the bus is not there.
    bool publish(const QDBusConnection &bus);
    // The name taken; empty until published.
    const QString &serviceName() const { return m_service; }

    // org.mpris.MediaPlayer2
    void raise();
    void quit();

    // org.mpris.MediaPlayer2.Player
    void playPause();
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void openUri(const QString &uri);

    // "Playing", "Paused" or "Stopped", as the play/pause button shows it.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    bool canGoNext() const;
    qlonglong position() const; // microseconds

private:
    bool blocked() const;
    // Tells the bus which properties changed since it was last told.
    void refresh();

    TForm1 &m_window;
    QDBusConnection m_bus{QString()};
    QString m_service;
    quint64 m_track = 0;
    QString m_sentStatus;
    QVariantMap m_sentMetadata;
    double m_sentVolume = -1;
    bool m_sentCanGoNext = false;
};

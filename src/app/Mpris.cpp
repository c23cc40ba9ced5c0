#include "app/Mpris.h"

#include "app/OpenWith.h"
#include "engine/MediaEngine.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <algorithm>

namespace {

const QString kPlaying = QStringLiteral("Playing");
const QString kPaused = QStringLiteral("Paused");
const QString kStopped = QStringLiteral("Stopped");

// The root interface: the application as a whole.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ uriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ mimeTypes)
public:
    explicit MprisRootAdaptor(Mpris *mpris) : QDBusAbstractAdaptor(mpris), m_mpris(mpris) {}

    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const { return QStringLiteral("Velpa Player"); }
    QString desktopEntry() const { return kDesktopEntryName; }
    QStringList uriSchemes() const { return {QStringLiteral("file"), QStringLiteral("http")}; }
    // The types the desktop entry names: those of the open dialog's files.
    QStringList mimeTypes() const {
        return {
            QStringLiteral("video/x-msvideo"), QStringLiteral("video/x-ms-wmv"),
            QStringLiteral("video/mp4"),       QStringLiteral("video/x-m4v"),
            QStringLiteral("video/quicktime"), QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("audio/mpeg"),      QStringLiteral("audio/x-wav"),
        };
    }

public slots:
    void Raise() { m_mpris->raise(); }
    void Quit() { m_mpris->quit(); }

private:
    Mpris *m_mpris;
};

// The player interface: the play/pause, next and previous buttons and the
// volume bar.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayerAdaptor(Mpris *mpris) : QDBusAbstractAdaptor(mpris), m_mpris(mpris) {}

    QString playbackStatus() const { return m_mpris->playbackStatus(); }
    // The player has one speed.
    double rate() const { return 1.0; }
    void setRate(double) {}
    QVariantMap metadata() const { return m_mpris->metadata(); }
    double volume() const { return m_mpris->volume(); }
    void setVolume(double volume) { m_mpris->setVolume(volume); }
    qlonglong position() const { return m_mpris->position(); }
    bool canGoNext() const { return m_mpris->canGoNext(); }
    bool yes() const { return true; }
    bool no() const { return false; }

public slots:
    void PlayPause() { m_mpris->playPause(); }
    void Play() { m_mpris->play(); }
    void Pause() { m_mpris->pause(); }
    void Stop() { m_mpris->stop(); }
    void Next() { m_mpris->next(); }
    void Previous() { m_mpris->previous(); }
    void OpenUri(const QString &uri) { m_mpris->openUri(uri); }
    // The position bar is not offered for seeking (CanSeek is false).
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath &, qlonglong) {}

signals:
    void Seeked(qlonglong position);

private:
    Mpris *m_mpris;
};

} // namespace

Mpris::Mpris(TForm1 &window, QObject *parent) : QObject(parent), m_window(window) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);

    PlayerState &state = m_window.state();
    connect(&state, &PlayerState::mainCaptionChanged, this, [this] {
        ++m_track;
        refresh();
    });
    connect(&state, &PlayerState::pauseButtonChanged, this, &Mpris::refresh);
    connect(&state, &PlayerState::nextEnabledChanged, this, &Mpris::refresh);
    connect(&state, &PlayerState::volumeChanged, this, &Mpris::refresh);
    connect(&state.bar, &PositionBar::rangeChanged, this, &Mpris::refresh);
    // Media come and go with the ticks and the end check too.
    connect(&state.bar, &PositionBar::changed, this, &Mpris::refresh);
}

Mpris::~Mpris() {
    if (m_service.isEmpty())
        return;
    m_bus.unregisterService(m_service);
    m_bus.unregisterObject(kMprisObjectPath);
}

bool Mpris::publish(const QDBusConnection &bus) {
    if (!bus.isConnected())
        return false;
    m_bus = bus;
    if (!m_bus.registerObject(kMprisObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    const QString instance = kMprisServiceName + QStringLiteral(".instance") +
                             QString::number(QApplication::applicationPid());
    for (const QString &name : {kMprisServiceName, instance}) {
        // Queueing for a name taken by a player that is running would hand it
        // over later, unasked; an instance name is taken instead.
        const auto reply =
            m_bus.interface()->registerService(name, QDBusConnectionInterface::DontQueueService,
                                               QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            m_service = name;
            break;
        }
    }
    if (m_service.isEmpty()) {
        m_bus.unregisterObject(kMprisObjectPath);
        return false;
    }
    m_sentStatus = playbackStatus();
    m_sentMetadata = metadata();
    m_sentVolume = volume();
    m_sentCanGoNext = canGoNext();
    return true;
}

bool Mpris::blocked() const {
    return QApplication::activeModalWidget() != nullptr;
}

void Mpris::raise() {
    if (blocked())
        return;
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void Mpris::quit() {
    if (blocked())
        return;
    RunHandler([this] { m_window.bExitClick(); });
}

void Mpris::playPause() {
    if (blocked())
        return;
    RunHandler([this] { m_window.bPauseClick(); });
}

void Mpris::play() {
    if (playbackStatus() != kPlaying)
        playPause();
}

void Mpris::pause() {
    if (playbackStatus() == kPlaying)
        playPause();
}

// The player has no stop button; its pause keeps the position, so Stop
// pauses as Pause does.
void Mpris::stop() {
    pause();
}

void Mpris::next() {
    // A disabled button takes no click.
    if (blocked() || !canGoNext())
        return;
    RunHandler([this] { m_window.bNextClick(); });
}

void Mpris::previous() {
    if (blocked())
        return;
    RunHandler([this] { m_window.bPreviousClick(); });
}

void Mpris::openUri(const QString &uri) {
    if (blocked())
        return;
    const QString entry = EntryFromArgument(uri, QDir::currentPath());
    RunHandler([&] { PlayOpenedEntry(m_window.player(), entry); });
}

QString Mpris::playbackStatus() const {
    const PlayerState &state = m_window.state();
    if (!m_window.player().engine().hasMedia())
        return kStopped;
    if (state.pauseHint() == kPausedHint)
        return kPaused;
    return state.pauseLook() == kPauseLook ? kPlaying : kStopped;
}

QVariantMap Mpris::metadata() const {
    const PlayerState &state = m_window.state();
    if (state.captionSubject().isEmpty()) {
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(
                     QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    }
    QVariantMap map{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(
             QDBusObjectPath(QStringLiteral("/org/velpa/Player/Track/%1").arg(m_track)))},
        {QStringLiteral("xesam:title"), state.captionSubject()},
    };
    // The position bar's range is the duration in 100 ns units.
    const auto length = qlonglong(state.bar.max()) / 10;
    if (length > 0)
        map.insert(QStringLiteral("mpris:length"), length);
    return map;
}

double Mpris::volume() const {
    // The volume bar runs the other way: its value 0 is full volume.
    return 1.0 - double(m_window.state().volume());
}

void Mpris::setVolume(double volume) {
    if (blocked())
        return;
    const float value = float(1.0 - std::clamp(volume, 0.0, 1.0));
    RunHandler([&] { m_window.state().setVolume(value); });
}

bool Mpris::canGoNext() const {
    return m_window.state().nextEnabled();
}

qlonglong Mpris::position() const {
    if (!m_window.player().engine().hasMedia())
        return 0;
    return qlonglong(m_window.state().bar.value()) / 10;
}

void Mpris::refresh() {
    if (m_service.isEmpty())
        return;
    QVariantMap changed;
    if (const QString status = playbackStatus(); status != m_sentStatus) {
        m_sentStatus = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    if (const QVariantMap map = metadata(); map != m_sentMetadata) {
        m_sentMetadata = map;
        changed.insert(QStringLiteral("Metadata"), map);
    }
    if (const double v = volume(); v != m_sentVolume) {
        m_sentVolume = v;
        changed.insert(QStringLiteral("Volume"), v);
    }
    if (const bool next = canGoNext(); next != m_sentCanGoNext) {
        m_sentCanGoNext = next;
        changed.insert(QStringLiteral("CanGoNext"), next);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        kMprisObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << kMprisPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

#include "Mpris.moc"

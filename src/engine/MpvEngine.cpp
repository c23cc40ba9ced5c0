#include "engine/MpvEngine.h"

#include "app/Errors.h"
#include "engine/MpvLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMetaObject>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <mpv/client.h>
#include <stdexcept>

using namespace std::chrono_literals;

// ---------------------------------------------------------------------------

void MpvWakeSignal::notify() {
    {
        std::lock_guard lock(m_mutex);
        m_notified = true;
    }
    m_changed.notify_all();
}

void MpvWakeSignal::reset() {
    std::lock_guard lock(m_mutex);
    m_notified = false;
}

bool MpvWakeSignal::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_notified; });
}

// ---------------------------------------------------------------------------

namespace {

// How long open() waits at most. mpv gives up on a silent server after
// network-timeout (10 s) by itself; this only guards against a stuck player.
constexpr auto kOpenDeadline = 30s;
// mpv's network-timeout, set below.
constexpr auto kNetworkTimeout = 10s;
// How long the position may read the old one after a seek was answered.
constexpr auto kSeekSettleTime = 1s;

constexpr MediaTime kUnitsPerSecond = 10'000'000;

MediaTime ToMediaTime(double seconds) {
    return std::llround(seconds * double(kUnitsPerSecond));
}

bool IsLink(const QString &text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// What mpv gets for an entry. mpv reads "x://y" as a protocol, "-" as
// standard input and "av://…" or "memory://…" as generated media, but it never
// looks for a protocol in a path starting with "/" or "./". Local paths are
// therefore handed over in one of those two forms.
QByteArray MpvTarget(const QString &entry) {
    if (IsLink(entry))
        return entry.toUtf8();
    if (QDir::isAbsolutePath(entry))
        return QFile::encodeName(entry);
    return QFile::encodeName(QStringLiteral("./") + entry);
}

QString CannotPlay(const QString &entry, const QString &reason) {
    return QStringLiteral("Cannot play \"%1\". %2").arg(entry, reason);
}

QString Capitalized(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

struct LogLine {
    QString prefix;
    QString text; // trimmed
    bool error = false;
};

// FFmpeg's messages start with the name of its component ("http: …"); a
// demuxer's name lists its formats ("mov,mp4,m4a,3gp,3g2,mj2: …").
QString WithoutComponent(const LogLine &line) {
    static const QRegularExpression component(QStringLiteral("^[a-z0-9_,]+: "));
    if (!line.prefix.startsWith(QLatin1String("ffmpeg")))
        return line.text;
    return QString(line.text).remove(component);
}

// The reason a file failed to open, as mpv and FFmpeg logged it. Log lines
// name the cause precisely ("No such file or directory", "HTTP error 404 Not
// Found"); the end-file error code only says "loading failed".
// For a link, `waited` is how long the attempt took.
QString OpenFailureReason(const QList<LogLine> &log, int endError, bool link,
                          std::chrono::steady_clock::duration waited) {
    struct Rule {
        QRegularExpression pattern;
        QString reason; // empty: the pattern's first capture
    };
    static const QList<Rule> rules = {
        {QRegularExpression(QStringLiteral("^Cannot open file '.*': (.+)$")), {}},
        {QRegularExpression(QStringLiteral("^Failed to recognize file format")),
         QStringLiteral("Unrecognized file format")},
        // An MP4 whose index never got written: a download or a recording cut off.
        {QRegularExpression(QStringLiteral("^moov atom not found")),
         QStringLiteral("The file is incomplete or damaged")},
        {QRegularExpression(QStringLiteral("^(HTTP error \\d+.*)$")), {}},
        {QRegularExpression(QStringLiteral("^Connection to .* failed: (.+)$")), {}},
        {QRegularExpression(QStringLiteral("^(Failed to resolve hostname .+)$")), {}},
    };
    for (const LogLine &line : log) {
        const QString text = WithoutComponent(line);
        for (const Rule &rule : rules) {
            const QRegularExpressionMatch match = rule.pattern.match(text);
            if (match.hasMatch())
                return rule.reason.isEmpty() ? Capitalized(match.captured(1)) : rule.reason;
        }
    }
    // mpv's own summaries repeat the entry and add nothing.
    static const QRegularExpression summary(
        QStringLiteral("^(Failed to open |The protocol is either unsupported|Opening failed)"));
    for (const LogLine &line : log) {
        if (!line.error)
            continue;
        const QString text = WithoutComponent(line);
        if (!summary.match(text).hasMatch()) {
            QString reason = Capitalized(text);
            if (reason.endsWith(u'.'))
                reason.chop(1);
            return reason;
        }
    }
    // FFmpeg logs nothing when a server's answer is no HTTP at all, or when
    // it gave up waiting for one.
    if (link && endError == MPV_ERROR_LOADING_FAILED) {
        return waited >= kNetworkTimeout - 1s
                   ? QStringLiteral("The server did not answer in time")
                   : QStringLiteral("The server did not give a valid answer");
    }
    return Capitalized(QString::fromUtf8(mpv_error_string(endError)));
}

const mpv_node *MapValue(const mpv_node &map, const char *key) {
    if (map.format != MPV_FORMAT_NODE_MAP)
        return nullptr;
    for (int i = 0; i < map.u.list->num; ++i) {
        if (std::strcmp(map.u.list->keys[i], key) == 0)
            return &map.u.list->values[i];
    }
    return nullptr;
}

double NodeNumber(const mpv_node *node) {
    if (!node)
        return 0;
    if (node->format == MPV_FORMAT_INT64)
        return double(node->u.int64);
    if (node->format == MPV_FORMAT_DOUBLE)
        return node->u.double_;
    return 0;
}

bool NodeFlag(const mpv_node *node) {
    return node && node->format == MPV_FORMAT_FLAG && node->u.flag;
}

// The picture size as shown, from the selected video track. At file-loaded
// only the demuxer's values are dependable: "dwidth"/"dheight" are filled in
// by the first decoded frame and may still be unset or the previous file's.
VideoSize TrackVideoSize(const mpv_node &track) {
    if (track.format != MPV_FORMAT_NODE_MAP || NodeFlag(MapValue(track, "albumart")))
        return {};
    double width = NodeNumber(MapValue(track, "demux-w"));
    double height = NodeNumber(MapValue(track, "demux-h"));
    const double aspect = NodeNumber(MapValue(track, "demux-par"));
    if (aspect > 0)
        width *= aspect;
    if (std::llround(NodeNumber(MapValue(track, "demux-rotation"))) % 180 == 90)
        std::swap(width, height);
    return {width, height};
}

// Tags of the replies to asynchronous requests; property observations use
// small numbers (one per file).
constexpr std::uint64_t kReplyTag = std::uint64_t(1) << 62;
constexpr std::uint64_t kPauseTag = kReplyTag | 1;
constexpr std::uint64_t kSeekTag = kReplyTag | 2;
constexpr std::uint64_t kOtherTag = kReplyTag | 3;
// Requests of one open(): the serial of the open() and what is asked.
enum OpenRequest : std::uint64_t { LoadFile = 1, ReadDuration, ReadTrack, ReadWidth, ReadHeight };
constexpr std::uint64_t kOpenTag = std::uint64_t(1) << 61;
constexpr std::uint64_t kOpenRequestMask = 0xff;

std::uint64_t OpenTag(std::uint64_t serial, OpenRequest request) {
    return kOpenTag | (serial << 8) | request;
}

double EventDouble(const mpv_event &event) {
    const auto *property = static_cast<const mpv_event_property *>(event.data);
    if (event.error < 0 || !property || property->format != MPV_FORMAT_DOUBLE)
        return 0;
    return *static_cast<const double *>(property->data);
}

} // namespace

// What open() learns from mpv about the entry it loads. Events may name the
// entry before the reply to "loadfile" tells which one it is.
struct MpvEngine::OpenWait {
    std::uint64_t serial = 0;
    bool replied = false;
    int loadError = 0;
    std::int64_t entryId = -1;
    std::int64_t startedId = -1; // entry of the latest start-file
    QSet<std::int64_t> loaded;
    struct End {
        int reason = 0;
        int error = 0;
    };
    QHash<std::int64_t, End> ended;
    QList<LogLine> log;
    // Where each entry's lines start in `log`: at its start-file. Lines of
    // an earlier entry can still arrive after this open has begun.
    QHash<std::int64_t, qsizetype> logFrom;
    // After loading: the values read for the new file.
    int readsPending = 0;
    double duration = 0;
    VideoSize trackSize;
    double width = 0;
    double height = 0;

    bool isLoaded() const { return loaded.contains(entryId) && !ended.contains(entryId); }
    QList<LogLine> entryLog() const { return log.mid(logFrom.value(entryId, 0)); }
    bool isSettled() const {
        return replied && (loadError < 0 || ended.contains(entryId) || loaded.contains(entryId));
    }
};

// ---------------------------------------------------------------------------

MpvEngine::MpvEngine(QObject *parent) : MpvEngine(Options{}, parent) {}

MpvEngine::MpvEngine(Options options, QObject *parent) : MediaEngine(parent), m_options(options) {}

// The core starts when something first needs it: the video view once the main
// window is on the screen, or the first open(). Loading libmpv and starting
// its core before the window shows would delay the window by a third of a
// second and more.
void MpvEngine::start() {
    if (m_mpv)
        return;
    QString missing;
    if (!LoadMpvLibrary(&missing))
        throw AppError(QStringLiteral("Cannot start the media engine. %1").arg(missing));
    // mpv_create() refuses to work unless numbers are parsed the C way, and
    // QApplication has just set the user's locale (de_DE and the like).
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = mpv_create();
    if (!m_mpv)
        throw AppError(QStringLiteral("Cannot start the media engine."));

    const quintptr window = m_options.nullOutputs || !m_view ? 0 : m_view->nativeWindow();
    const std::string windowText = std::to_string(window);
    const char *const settings[][2] = {
        // Nothing of a user's mpv set-up may change how the player behaves.
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"}, // else every failing link waits for youtube-dl
        {"osc", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"terminal", "no"},
        {"resume-playback", "no"},
        {"save-position-on-quit", "no"},
        // The end of a file leaves it loaded and paused at its end; the
        // player sees the end as position == duration.
        {"keep-open", "yes"},
        {"idle", "yes"},
        {"audio-display", "no"}, // cover art is not video
        {"network-timeout", "10"},
        // A machine without a sound device plays silently instead of failing.
        {"audio-fallback-to-null", "yes"},
        // The machine's video decoder where mpv knows it to be reliable;
        // anything else decodes in software without a word.
        {"hwdec", "auto-safe"},
        {"vo", m_options.nullOutputs ? "null"
               : window              ? "gpu,x11"
                                     : "libmpv"},
        {"ao", m_options.nullOutputs ? "null" : ""},
        // mpv in a window of ours: OpenGL even where it is the software
        // renderer, as with a view that renders; no input of its own, so the
        // pointer and the keys reach the player's window; the pointer stays.
        {"wid", window ? windowText.c_str() : ""},
        {"gpu-sw", window ? "yes" : ""},
        {"input-cursor", window ? "no" : ""},
        {"cursor-autohide", window ? "no" : ""},
        // The video output and its OpenGL are set up as soon as the core
        // runs, not when the first video starts: a press of play then waits
        // for the file alone.
        {"force-window", window ? "yes" : ""},
    };
    for (const auto &[name, value] : settings) {
        if (*value == '\0')
            continue;
        const int rc = mpv_set_option_string(m_mpv, name, value);
        if (rc < 0) {
            mpv_terminate_destroy(m_mpv);
            m_mpv = nullptr;
            throw AppError(QStringLiteral("Cannot start the media engine. Option %1: %2")
                               .arg(QLatin1String(name), QString::fromUtf8(mpv_error_string(rc))));
        }
    }
    if (const int rc = mpv_initialize(m_mpv); rc < 0) {
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        throw AppError(QStringLiteral("Cannot start the media engine. %1")
                           .arg(Capitalized(QString::fromUtf8(mpv_error_string(rc)))));
    }
    mpv_set_wakeup_callback(m_mpv, &MpvEngine::onMpvWakeup, this);
    setVolume(m_volume);
}

MpvEngine::~MpvEngine() {
    shutDown();
}

void MpvEngine::shutDown() {
    // The render context has to go before the core it renders for.
    if (m_view)
        m_view->releaseRenderContext();
    if (!m_mpv)
        return;
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    mpv_terminate_destroy(m_mpv);
    m_mpv = nullptr;
    m_pausesPending = 0;
    m_seeksPending = 0;
    forgetMedia();
}

void MpvEngine::attachView(MpvVideoOutput *view) {
    m_view = view;
    m_viewReady = false;
}

void MpvEngine::viewInitialized(bool rendering) {
    m_viewReady = true;
    // Without a render context vo=libmpv cannot show anything; video is then
    // decoded for nothing and the sound still plays.
    if (!rendering && m_mpv)
        mpv_set_property_string(m_mpv, "vo", "null");
}

void MpvEngine::detachView(MpvVideoOutput *view) {
    if (m_view != view)
        return;
    m_view = nullptr;
    m_viewReady = false;
}

void MpvEngine::viewWindowGoing(MpvVideoOutput *view) {
    if (m_view != view)
        return;
    shutDown();
    m_viewReady = false;
}

// --- events ----------------------------------------------------------------

// Called on one of mpv's threads: no mpv calls here, only hand-overs.
void MpvEngine::onMpvWakeup(void *engine) {
    auto *self = static_cast<MpvEngine *>(engine);
    self->m_wake->notify();
    if (!self->m_drainPosted.exchange(true)) {
        QMetaObject::invokeMethod(
            self,
            [self] {
                self->m_drainPosted = false;
                self->drainEvents();
            },
            Qt::QueuedConnection);
    }
}

// mpv calls the wakeup callback again only after mpv_wait_event() has been
// called, so the queue is always emptied completely.
void MpvEngine::drainEvents() {
    if (!m_mpv)
        return;
    for (;;) {
        const mpv_event *event = mpv_wait_event(m_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        handleEvent(*event);
    }
}

void MpvEngine::handleEvent(const mpv_event &event) {
    if (m_openWait)
        handleOpenEvent(event, *m_openWait);
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        handlePropertyChange(event);
        return;
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.reply_userdata == kPauseTag)
            --m_pausesPending;
        return;
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == kSeekTag && --m_seeksPending == 0 && event.error < 0)
            m_seekSettlesBy = {};
        return;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (m_seeksPending == 0)
            m_seekSettlesBy = {};
        return;
    case MPV_EVENT_END_FILE: {
        // With keep-open mpv normally holds the file at its end. If it drops
        // the file anyway (a broken stream), the media counts as ended.
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (!m_openWait && m_hasMedia && end->playlist_entry_id == m_entryId &&
            (end->reason == MPV_END_FILE_REASON_EOF || end->reason == MPV_END_FILE_REASON_ERROR)) {
            m_dropped = true;
            m_eof = true;
            m_paused = true;
        }
        return;
    }
    default:
        return;
    }
}

void MpvEngine::handlePropertyChange(const mpv_event &event) {
    // Observations are renewed for every file; the values of an earlier one
    // may still be queued and must not leak into the new file.
    if (event.reply_userdata != m_generation || !m_hasMedia)
        return;
    const auto *property = static_cast<const mpv_event_property *>(event.data);
    const char *name = property->name;
    const bool isFlag = property->format == MPV_FORMAT_FLAG;
    const bool flag = isFlag && *static_cast<const int *>(property->data) != 0;
    if (std::strcmp(name, "time-pos") == 0) {
        const bool seeking =
            m_seeksPending > 0 || std::chrono::steady_clock::now() < m_seekSettlesBy;
        if (property->format == MPV_FORMAT_DOUBLE && !seeking)
            m_position = *static_cast<const double *>(property->data);
    } else if (std::strcmp(name, "duration") == 0) {
        m_duration = property->format == MPV_FORMAT_DOUBLE
                         ? std::max(0.0, *static_cast<const double *>(property->data))
                         : 0;
    } else if (std::strcmp(name, "pause") == 0) {
        if (isFlag && m_pausesPending == 0)
            m_paused = flag;
    } else if (std::strcmp(name, "eof-reached") == 0) {
        if (isFlag && m_seeksPending == 0) {
            m_eof = flag;
            if (flag) // a seek to the end does not restart playback
                m_seekSettlesBy = {};
        }
    }
}

void MpvEngine::handleOpenEvent(const mpv_event &event, OpenWait &wait) {
    switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
        const auto *message = static_cast<const mpv_event_log_message *>(event.data);
        wait.log.append({QString::fromUtf8(message->prefix),
                         QString::fromUtf8(message->text).trimmed(),
                         message->log_level <= MPV_LOG_LEVEL_ERROR});
        return;
    }
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == OpenTag(wait.serial, LoadFile)) {
            wait.replied = true;
            wait.loadError = event.error;
            const auto *reply = static_cast<const mpv_event_command *>(event.data);
            const mpv_node *id = reply ? MapValue(reply->result, "playlist_entry_id") : nullptr;
            if (id && id->format == MPV_FORMAT_INT64)
                wait.entryId = id->u.int64;
        }
        return;
    case MPV_EVENT_START_FILE:
        wait.startedId = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        wait.logFrom.insert(wait.startedId, wait.log.size());
        return;
    case MPV_EVENT_FILE_LOADED:
        // file-loaded carries no entry; it belongs to the latest start-file.
        wait.loaded.insert(wait.startedId);
        return;
    case MPV_EVENT_END_FILE: {
        // The end of a replaced file arrives while the next one is opening;
        // only the entry's own end counts.
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        wait.ended.insert(end->playlist_entry_id, {end->reason, end->error});
        return;
    }
    case MPV_EVENT_GET_PROPERTY_REPLY: {
        const std::uint64_t tag = event.reply_userdata;
        if ((tag & ~kOpenRequestMask) != (OpenTag(wait.serial, LoadFile) & ~kOpenRequestMask))
            return;
        --wait.readsPending;
        const auto *property = static_cast<const mpv_event_property *>(event.data);
        switch (tag & kOpenRequestMask) {
        case ReadDuration:
            wait.duration = std::max(0.0, EventDouble(event));
            return;
        case ReadTrack:
            if (event.error >= 0 && property && property->format == MPV_FORMAT_NODE)
                wait.trackSize = TrackVideoSize(*static_cast<const mpv_node *>(property->data));
            return;
        case ReadWidth:
            wait.width = EventDouble(event);
            return;
        case ReadHeight:
            wait.height = EventDouble(event);
            return;
        default:
            return;
        }
    }
    default:
        return;
    }
}

void MpvEngine::observeProperties() {
    mpv_unobserve_property(m_mpv, m_generation);
    ++m_generation;
    mpv_observe_property(m_mpv, m_generation, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, m_generation, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(m_mpv, m_generation, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(m_mpv, m_generation, "eof-reached", MPV_FORMAT_FLAG);
}

// --- opening ---------------------------------------------------------------

void MpvEngine::open(const QString &fileName) {
    // A window shown a moment ago may not have set up its renderer yet.
    if (!m_options.nullOutputs && !m_viewReady && m_view)
        m_view->ensureRenderContext();
    if (!m_options.nullOutputs && !m_viewReady)
        throw std::logic_error("MpvEngine::open() before the video view was initialised");
    start();
    loadAndWait(fileName);
}

// Waits without running Qt's event loop: no timer or input handler may act on
// a half-opened engine. Video frames are still rendered meanwhile: mpv's core
// waits for a queued frame to be rendered before it goes on (with the
// previous file's unloading, or a property read), which made replacing a
// playing video take up to 440 ms instead of 40.
void MpvEngine::waitFor(const std::function<bool()> &done, const QString &fileName) {
    const auto deadline = std::chrono::steady_clock::now() + kOpenDeadline;
    for (;;) {
        m_wake->reset();
        drainEvents();
        if (m_view)
            m_view->renderIfNeeded();
        if (done())
            return;
        if (std::chrono::steady_clock::now() > deadline) {
            request(kOtherTag, {"stop"});
            throw AppError(CannotPlay(fileName, QStringLiteral("The media did not open in time")));
        }
        m_wake->wait(200ms);
    }
}

// Every request to mpv is asynchronous: a synchronous one blocks the GUI
// thread until mpv's core is free, and the core may be waiting for a video
// frame to be rendered on this very thread. The requests run in the order
// they are sent.
void MpvEngine::loadAndWait(const QString &fileName) {
    // Whatever mpv reported so far belongs to the media being replaced.
    drainEvents();
    forgetMedia();
    if (fileName.isEmpty()) {
        request(kOtherTag, {"stop"});
        throw AppError(CannotPlay(fileName, QStringLiteral("No such file or directory")));
    }

    OpenWait wait;
    wait.serial = ++m_openSerial;
    m_openWait = &wait;
    mpv_request_log_messages(m_mpv, "warn");
    struct Restore {
        MpvEngine *engine;
        ~Restore() {
            engine->m_openWait = nullptr;
            mpv_request_log_messages(engine->m_mpv, "no");
        }
    } restore{this};

    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    const QByteArray target = MpvTarget(fileName);
    const char *args[] = {"loadfile", target.constData(), nullptr};
    if (const int rc = mpv_command_async(m_mpv, OpenTag(wait.serial, LoadFile), args); rc < 0)
        throw AppError(CannotPlay(fileName, Capitalized(QString::fromUtf8(mpv_error_string(rc)))));
    waitFor([&] { return wait.isSettled(); }, fileName);
    const auto failureReason = [&](int endError) {
        // The lines that explain a failure may still be queued behind its
        // end-file.
        drainEvents();
        return OpenFailureReason(wait.entryLog(), endError, IsLink(fileName),
                                 Clock::now() - started);
    };

    if (!wait.isLoaded()) {
        // Nothing of it may stay: a folder's or playlist's first entry has
        // already started, and a failed entry still sits in the playlist.
        request(kOtherTag, {"stop"});
        if (wait.loadError < 0)
            throw AppError(CannotPlay(
                fileName, Capitalized(QString::fromUtf8(mpv_error_string(wait.loadError)))));
        const OpenWait::End end = wait.ended.value(wait.entryId);
        if (end.reason == MPV_END_FILE_REASON_REDIRECT)
            throw AppError(
                CannotPlay(fileName, QFileInfo(fileName).isDir() && !IsLink(fileName)
                                         ? QStringLiteral("It is a folder, not a media file")
                                         : QStringLiteral("It is a playlist, not a media file")));
        throw AppError(CannotPlay(fileName, failureReason(end.error)));
    }

    // "pause" is global: the previous file's pause (or the automatic one at
    // its end) would carry over to this one.
    setPause(false);
    const std::pair<OpenRequest, const char *> reads[] = {
        {ReadDuration, "duration"}, {ReadWidth, "width"}, {ReadHeight, "height"}};
    for (const auto &[read, name] : reads) {
        if (mpv_get_property_async(m_mpv, OpenTag(wait.serial, read), name, MPV_FORMAT_DOUBLE) >= 0)
            ++wait.readsPending;
    }
    if (mpv_get_property_async(m_mpv, OpenTag(wait.serial, ReadTrack), "current-tracks/video",
                               MPV_FORMAT_NODE) >= 0)
        ++wait.readsPending;
    waitFor([&] { return wait.readsPending <= 0 || !wait.isLoaded(); }, fileName);
    if (!wait.isLoaded()) {
        request(kOtherTag, {"stop"});
        throw AppError(CannotPlay(fileName, failureReason(wait.ended.value(wait.entryId).error)));
    }

    m_entryId = wait.entryId;
    m_fileName = fileName;
    m_hasMedia = true;
    m_duration = wait.duration;
    m_videoSize = wait.trackSize.hasVideo() ? wait.trackSize : VideoSize{wait.width, wait.height};
    observeProperties();
}

void MpvEngine::forgetMedia() {
    m_hasMedia = false;
    m_dropped = false;
    m_entryId = -1;
    m_fileName.clear();
    m_position = 0;
    m_duration = 0;
    m_paused = false;
    m_eof = false;
    m_videoSize = {};
    m_seekSettlesBy = {};
}

// --- playback --------------------------------------------------------------

void MpvEngine::request(std::uint64_t tag, std::initializer_list<const char *> args) {
    const char *argv[8] = {};
    std::copy(args.begin(), args.end(), argv);
    const int rc = mpv_command_async(m_mpv, tag, argv);
    if (tag == kSeekTag && rc >= 0)
        ++m_seeksPending;
}

void MpvEngine::setPause(bool paused) {
    int flag = paused ? 1 : 0;
    if (mpv_set_property_async(m_mpv, kPauseTag, "pause", MPV_FORMAT_FLAG, &flag) >= 0)
        ++m_pausesPending;
    m_paused = paused;
}

void MpvEngine::play() {
    if (!m_hasMedia)
        return;
    if (m_dropped) {
        // mpv let go of the file; playing it again means loading it again.
        loadAndWait(QString(m_fileName));
        return;
    }
    if (m_eof)
        seek(0);
    setPause(false);
}

void MpvEngine::stop() {
    if (m_hasMedia)
        setPause(true);
}

void MpvEngine::clear() {
    if (!m_mpv) {
        forgetMedia();
        return;
    }
    request(kOtherTag, {"playlist-clear"});
    request(kOtherTag, {"stop"});
    forgetMedia();
}

MediaState MpvEngine::state() const {
    if (!m_hasMedia)
        return MediaState::Unavailable;
    return m_paused || m_eof ? MediaState::Stopped : MediaState::Playing;
}

MediaTime MpvEngine::duration() const {
    return m_hasMedia ? ToMediaTime(m_duration) : 0;
}

// At the end "time-pos" is not the duration: the last video frame's time or
// the last audio sample's, off by tens of milliseconds in either direction.
MediaTime MpvEngine::currentTime() const {
    if (!m_hasMedia)
        return 0;
    if (m_eof)
        return ToMediaTime(m_duration);
    const double position = std::max(0.0, m_position);
    return ToMediaTime(m_duration > 0 ? std::min(position, m_duration) : position);
}

void MpvEngine::seek(MediaTime position) {
    if (!m_hasMedia || m_dropped)
        return;
    double seconds = std::max(0.0, double(position) / double(kUnitsPerSecond));
    if (m_duration > 0)
        seconds = std::min(seconds, m_duration);
    const QByteArray target = QByteArray::number(seconds, 'f', 6);
    request(kSeekTag, {"seek", target.constData(), "absolute+exact"});
    m_position = seconds;
    m_eof = false;
    m_seekSettlesBy = std::chrono::steady_clock::now() + kSeekSettleTime;
}

void MpvEngine::setVolume(float volume) {
    // NaN fails both comparisons and ends up silent.
    m_volume = volume > 0 ? std::min(volume, 1.0f) : 0.0f;
    if (!m_mpv)
        return; // start() sets it
    double percent = double(m_volume) * 100.0;
    mpv_set_property_async(m_mpv, kOtherTag, "volume", MPV_FORMAT_DOUBLE, &percent);
}

VideoSize MpvEngine::videoSize() const {
    return m_hasMedia ? m_videoSize : VideoSize{};
}

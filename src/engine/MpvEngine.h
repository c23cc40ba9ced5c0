#pragma once

#include "engine/MediaEngine.h"

#include <QPointer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>

struct mpv_handle;
struct mpv_event;

// What the engine needs of the view that shows its video. Two kinds exist:
// MpvWindowView hands mpv a native window to draw into by itself (X11), and
// MpvView renders mpv's frames through the render API (anywhere else).
class MpvVideoOutput {
public:
    // The native window mpv draws into, or 0 when the view renders mpv's
    // frames itself.
    virtual quintptr nativeWindow() const = 0;
    // Sets the view up now if it is still waiting for its first picture.
    virtual void ensureRenderContext() = 0;
    // Renders the frame mpv has queued, if any, while the GUI thread waits.
    virtual void renderIfNeeded() = 0;
    // Lets go of mpv's renderer; it must be gone before mpv's core.
    virtual void releaseRenderContext() = 0;

protected:
    ~MpvVideoOutput() = default;
};

// Lets a thread sleep until mpv or the video renderer has news. Both notify it
// from their own threads; only the GUI thread waits on it.
class MpvWakeSignal {
public:
    void notify();
    void reset();
    // True if notified since the last reset, possibly after waiting up to `timeout`.
    bool wait(std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_notified = false;
};

// The media engine on top of libmpv. It alone owns the mpv handle; the video
// view only borrows it, to create its render context (MpvView) or to give
// mpv its window (MpvWindowView).
//
// Wiring in a window with video:
//   1. construct the engine,
//   2. construct the view (MpvWindowView or MpvView) with the engine and a
//      parent; it attaches itself,
//   3. show the view: once its first picture is on the screen it sets itself
//      up, which starts the engine (loading libmpv),
//   4. only then open media (the restore sequence comes after the window is
//      shown; open() sets up a view that is initialised but still waiting).
//      Opening before the view is initialised is a programming error and
//      raises std::logic_error; mpv would otherwise start the file without a
//      video output and never bring the picture back for it.
// With nullOutputs (tests), no view is needed.
class MpvEngine : public MediaEngine {
    Q_OBJECT
public:
    struct Options {
        bool nullOutputs = false; // vo=null and ao=null: nothing shown or heard
    };

    explicit MpvEngine(QObject *parent = nullptr);
    explicit MpvEngine(Options options, QObject *parent = nullptr);
    ~MpvEngine() override;

    MpvEngine(const MpvEngine &) = delete;
    MpvEngine &operator=(const MpvEngine &) = delete;

    void open(const QString &fileName) override;
    bool hasMedia() const override { return m_hasMedia; }
    QString fileName() const override { return m_hasMedia ? m_fileName : QString(); }

    // At the end of the media play() starts it again from the beginning:
    // mpv itself would stay paused at the end. If mpv had to drop the file
    // (a broken stream), play() opens it again and may raise AppError.
    void play() override;
    void stop() override;
    void clear() override;
    MediaState state() const override;

    MediaTime duration() const override;
    MediaTime currentTime() const override;
    void seek(MediaTime position) override;

    void setVolume(float volume) override;
    float volume() const override { return m_volume; }

    VideoSize videoSize() const override;

    // Connects the view that shows the video. The views' constructors call it.
    void attachView(MpvVideoOutput *view);

private:
    friend class MpvView;
    friend class MpvWindowView;

    struct OpenWait;

    // Starts the core first; raises AppError when it cannot start.
    mpv_handle *handle() {
        start();
        return m_mpv;
    }
    const std::shared_ptr<MpvWakeSignal> &wakeSignal() const { return m_wake; }
    // From the view: its render context exists (or could not be created, in
    // which case video is turned off and sound still plays).
    void viewInitialized(bool rendering);
    void detachView(MpvVideoOutput *view);
    // The native window that mpv draws into is about to go: the core goes
    // now, mpv's window with it, before the window system pulls it away. The
    // view sets itself up again, with its next window, before media opens.
    void viewWindowGoing(MpvVideoOutput *view);

    void start();
    void shutDown();
    static void onMpvWakeup(void *engine);
    void drainEvents();
    void handleEvent(const mpv_event &event);
    void handleOpenEvent(const mpv_event &event, OpenWait &wait);
    void handlePropertyChange(const mpv_event &event);
    void waitFor(const std::function<bool()> &done, const QString &fileName);
    void observeProperties();
    void loadAndWait(const QString &fileName);
    void forgetMedia();
    void request(std::uint64_t tag, std::initializer_list<const char *> args);
    void setPause(bool paused);

    Options m_options;
    mpv_handle *m_mpv = nullptr;
    std::shared_ptr<MpvWakeSignal> m_wake = std::make_shared<MpvWakeSignal>();
    std::atomic<bool> m_drainPosted{false};
    MpvVideoOutput *m_view = nullptr;
    bool m_viewReady = false;

    OpenWait *m_openWait = nullptr; // set while open() waits for its file
    std::uint64_t m_openSerial = 0; // tags the replies of one open()
    std::int64_t m_entryId = -1;    // mpv's playlist entry of the loaded media
    std::uint64_t m_generation = 0; // tags property observations of one file

    // Requests sent but not yet answered. Until a request is answered, mpv
    // may still report values read before it took effect.
    int m_pausesPending = 0;
    int m_seeksPending = 0;
    // A seek has been answered but not yet carried out: the position still
    // reads the old one until playback restarts (bounded, for streams that
    // cannot seek and never restart).
    std::chrono::steady_clock::time_point m_seekSettlesBy;

    bool m_hasMedia = false;
    bool m_dropped = false; // mpv gave the file up after loading it
    QString m_fileName;
    double m_position = 0;
    double m_duration = 0;
    bool m_paused = false;
    bool m_eof = false;
    VideoSize m_videoSize;
    float m_volume = 1.0f;
};

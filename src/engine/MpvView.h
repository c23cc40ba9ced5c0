#pragma once

#include "engine/MpvEngine.h"

#include <QOpenGLWidget>
#include <QPointer>
#include <atomic>
#include <memory>

struct mpv_render_context;

// Shows the video of an MpvEngine through mpv's OpenGL render API: the view
// for platforms where mpv cannot draw into a window of ours (MpvWindowView),
// such as Wayland. Qt composes each frame into the window. The render
// context is created in initializeGL, so the view has to be shown before the
// engine opens anything (see MpvEngine). Black while nothing plays.
//
// Never construct it on Qt's offscreen platform: QOpenGLWidget crashes there.
class MpvView : public QOpenGLWidget, public MpvVideoOutput {
    Q_OBJECT
public:
    explicit MpvView(MpvEngine &engine, QWidget *parent = nullptr);
    ~MpvView() override;

    // True once the render context exists.
    bool isRendering() const { return m_render != nullptr; }

    // Renders the frame mpv has queued, if any, into the widget's framebuffer.
    // The engine calls it while it blocks the GUI thread in open(): mpv's
    // playback loop waits for queued frames to be rendered.
    void renderIfNeeded() override;

    // Sets up mpv's renderer now if the view has been initialised and is
    // still waiting to do so (it waits for the window's first picture).
    void ensureRenderContext() override;

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    friend class MpvEngine;

    quintptr nativeWindow() const override { return 0; }
    void releaseRenderContext() override;

    static void onRenderUpdate(void *view);
    void renderFrame();

    QPointer<MpvEngine> m_engine;
    std::shared_ptr<MpvWakeSignal> m_wake;
    mpv_render_context *m_render = nullptr;
    bool m_renderPending = false;
    std::atomic<bool> m_frameWaiting{false};
    std::atomic<bool> m_updatePosted{false};
};

#pragma once

#include "engine/MpvEngine.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

// Shows the video of an MpvEngine by letting mpv draw into a native child
// window of its own (X11). No frame passes through Qt: Qt neither reads the
// picture back nor composes it, so playing costs what mpv alone costs.
// Black while nothing plays.
//
// Only for the X11 platform; elsewhere MpvView renders through mpv's render
// API. The engine is started, and libmpv loaded, once the view's first
// picture is on the screen, or by the first open().
class MpvWindowView : public QWidget, public MpvVideoOutput {
    Q_OBJECT
public:
    explicit MpvWindowView(MpvEngine &engine, QWidget *parent = nullptr);
    ~MpvWindowView() override;

    // True once the engine draws into this view.
    bool isRendering() const { return m_rendering; }

    // True where this kind of view works: the X11 platform.
    static bool isSupported();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // MpvVideoOutput
    quintptr nativeWindow() const override { return m_window; }
    void ensureRenderContext() override;
    void renderIfNeeded() override {}
    void releaseRenderContext() override {}

    // mpv's window is a child of ours and dies with it; mpv's next use of it
    // fails, and such a failure while mpv shuts down ends the process (Xlib's
    // default error handler). So the engine lets go first.
    void releaseWindow();

    QPointer<MpvEngine> m_engine;
    quintptr m_window = 0; // given to mpv; 0 until the engine is to start
    QPointer<QWindow> m_windowHandle;
    bool m_rendering = false;
};

#include "engine/MpvWindowView.h"

#include "app/Errors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QTimer>
#include <QWindow>

MpvWindowView::MpvWindowView(MpvEngine &engine, QWidget *parent)
    : QWidget(parent), m_engine(&engine) {
    // A window of our own inside the main window, and only that one: native
    // ancestors would give every panel an X window.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_OpaquePaintEvent);
    engine.attachView(this);
}

MpvWindowView::~MpvWindowView() {
    // Usually done already: the native window goes before the widget.
    releaseWindow();
    if (m_engine)
        m_engine->detachView(this);
}

bool MpvWindowView::isSupported() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void MpvWindowView::paintEvent(QPaintEvent *) {
    // The black under mpv's window, and all there is without video: the X
    // server keeps our drawing off mpv's child window.
    QPainter(this).fillRect(rect(), Qt::black);
    // The engine waits until the window's first picture is on the screen:
    // loading libmpv and starting its core would hold the picture back.
    if (!m_window)
        QTimer::singleShot(0, this, [this] { ensureRenderContext(); });
}

void MpvWindowView::ensureRenderContext() {
    if (m_window || !m_engine)
        return;
    m_window = winId();
    // Our native window can go while the widget stays: closing the main
    // window destroys its native window and those inside it. The engine has
    // to let go of mpv's window before that.
    m_windowHandle = windowHandle();
    if (m_windowHandle)
        m_windowHandle->installEventFilter(this);
    try {
        m_engine->handle();
        m_rendering = true;
    } catch (const AppError &) {
        // No engine, no video; the engine reports why when asked to play.
    }
    m_engine->viewInitialized(m_rendering);
}

bool MpvWindowView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_windowHandle && event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
        releaseWindow();
    return QWidget::eventFilter(watched, event);
}

void MpvWindowView::releaseWindow() {
    if (!m_window)
        return;
    if (m_windowHandle)
        m_windowHandle->removeEventFilter(this);
    m_windowHandle = nullptr;
    // A new native window for the view, once painted, starts the engine
    // again.
    if (m_engine)
        m_engine->viewWindowGoing(this);
    m_window = 0;
    m_rendering = false;
}

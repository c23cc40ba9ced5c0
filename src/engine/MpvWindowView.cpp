#include "engine/MpvWindowView.h"

#include "app/Errors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTimer>

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
    // mpv's own window is a child of ours: it has to go with the engine's
    // video output before ours goes.
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
    if (m_startPending)
        QTimer::singleShot(0, this, [this] { ensureRenderContext(); });
}

void MpvWindowView::ensureRenderContext() {
    if (!m_startPending || !m_engine)
        return;
    m_startPending = false;
    m_window = winId();
    try {
        m_engine->handle();
        m_rendering = true;
    } catch (const AppError &) {
        // No engine, no video; the engine reports why when asked to play.
    }
    m_engine->viewInitialized(m_rendering);
}

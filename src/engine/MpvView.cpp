#include "engine/MpvView.h"

#include "app/Errors.h"
#include "engine/MpvEngine.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTimer>
#include <cmath>
#include <mpv/render_gl.h>

namespace {

void *GetProcAddress(void *, const char *name) {
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return nullptr;
    return reinterpret_cast<void *>(context->getProcAddress(QByteArray(name)));
}

} // namespace

MpvView::MpvView(MpvEngine &engine, QWidget *parent)
    : QOpenGLWidget(parent), m_engine(&engine), m_wake(engine.wakeSignal()) {
    engine.attachView(this);
}

MpvView::~MpvView() {
    // QOpenGLWidget's destructor, which runs after this one, destroys the
    // context; its aboutToBeDestroyed must not call into this part of the
    // object any more.
    if (QOpenGLContext *gl = context())
        disconnect(gl, nullptr, this, nullptr);
    releaseRenderContext();
    if (m_engine)
        m_engine->detachView(this);
}

void MpvView::initializeGL() {
    // Qt recreates the GL context when the widget moves to another window;
    // mpv's renderer must be gone before its context.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &MpvView::releaseRenderContext,
            Qt::UniqueConnection);
    if (!m_engine)
        return;
    // mpv's renderer needs the engine, and starting the engine loads libmpv:
    // both wait until the window's first picture is on the screen.
    m_renderPending = true;
    connect(
        this, &QOpenGLWidget::frameSwapped, this,
        [this] { QTimer::singleShot(0, this, &MpvView::ensureRenderContext); },
        Qt::SingleShotConnection);
}

void MpvView::ensureRenderContext() {
    if (!m_renderPending || !m_engine)
        return;
    m_renderPending = false;
    makeCurrent();
    mpv_handle *mpv = nullptr;
    try {
        mpv = m_engine->handle();
    } catch (const AppError &) {
        // No engine, no video; the engine reports why when asked to play.
    }
    if (!m_render && mpv) {
        mpv_opengl_init_params gl{&GetProcAddress, nullptr};
        // Hardware decoding straight into textures (VA-API) needs the X
        // display; without it mpv decodes in software.
        void *x11Display = nullptr;
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            x11Display = x11->display();
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
            {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
            {x11Display ? MPV_RENDER_PARAM_X11_DISPLAY : MPV_RENDER_PARAM_INVALID, x11Display},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        if (mpv_render_context_create(&m_render, mpv, params) < 0)
            m_render = nullptr;
        if (m_render)
            mpv_render_context_set_update_callback(m_render, &MpvView::onRenderUpdate, this);
    }
    doneCurrent();
    m_engine->viewInitialized(m_render != nullptr);
    update();
}

// Called on one of mpv's threads: no mpv calls here, only hand-overs.
void MpvView::onRenderUpdate(void *view) {
    auto *self = static_cast<MpvView *>(view);
    self->m_frameWaiting = true;
    self->m_wake->notify();
    if (!self->m_updatePosted.exchange(true)) {
        QMetaObject::invokeMethod(
            self,
            [self] {
                self->m_updatePosted = false;
                self->update();
            },
            Qt::QueuedConnection);
    }
}

void MpvView::paintGL() {
    if (!m_render) {
        QOpenGLFunctions *gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    m_frameWaiting = false;
    mpv_render_context_update(m_render);
    renderFrame();
}

void MpvView::renderIfNeeded() {
    if (!m_render || !m_frameWaiting.exchange(false))
        return;
    if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    makeCurrent();
    renderFrame();
    doneCurrent();
    update(); // shown once the event loop runs again
}

// mpv draws black where there is no picture, and all black without media.
void MpvView::renderFrame() {
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(std::lround(width() * ratio)),
                       static_cast<int>(std::lround(height() * ratio)), 0};
    int flipY = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(m_render, params);
}

void MpvView::releaseRenderContext() {
    if (!m_render)
        return;
    makeCurrent();
    // Blocks until mpv has let go of the video output using it.
    mpv_render_context_free(m_render);
    m_render = nullptr;
    doneCurrent();
}

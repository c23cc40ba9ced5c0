// Runs on a real X server (xvfb-run): QOpenGLWidget crashes on Qt's offscreen
// platform, and mpv draws into windows of X11 only.
#include "engine/MpvView.h"
#include "engine/MpvEngine.h"
#include "engine/MpvWindowView.h"
#include "integration/IntegrationSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPlatformSurfaceEvent>
#include <QScreen>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Share of pixels that are clearly not black.
double LitShare(const QImage &image) {
    if (image.isNull())
        return 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    qint64 lit = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            lit += qRed(line[x]) + qGreen(line[x]) + qBlue(line[x]) > 60 ? 1 : 0;
    }
    return double(lit) / double(qint64(rgb.width()) * rgb.height());
}

TEST(MpvView, ShowsTheVideoAndBlackWithoutIt) {
    MpvEngine engine;
    MpvView view(engine);
    view.resize(320, 240);
    view.show();
    ASSERT_TRUE(WaitUntil([&] { return view.isRendering(); })) << "no render context";
    EXPECT_EQ(LitShare(view.grabFramebuffer()), 0.0);

    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.5); }));
    EXPECT_GT(LitShare(view.grabFramebuffer()), 0.5);

    engine.open(MediaFile(QStringLiteral("tone.wav")));
    ProcessEventsFor(std::chrono::milliseconds(300));
    EXPECT_EQ(LitShare(view.grabFramebuffer()), 0.0);
}

// What the X server shows in the view's window, mpv's own window included.
double LitShareOnScreen(const MpvWindowView &view) {
    return LitShare(QGuiApplication::primaryScreen()->grabWindow(view.winId()).toImage());
}

TEST(MpvWindowView, ShowsTheVideoAndBlackWithoutIt) {
    ASSERT_TRUE(MpvWindowView::isSupported());
    MpvEngine engine;
    QWidget window;
    window.resize(320, 240);
    auto *view = new MpvWindowView(engine, &window);
    view->setGeometry(0, 0, 320, 200);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return view->isRendering(); })) << "engine not started";
    ProcessEventsFor(std::chrono::milliseconds(100));
    EXPECT_EQ(LitShareOnScreen(*view), 0.0);

    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.5); }));
    EXPECT_TRUE(WaitUntil([&] { return LitShareOnScreen(*view) > 0.5; }));

    // mpv's window follows the view's size.
    view->setGeometry(0, 0, 160, 100);
    window.resize(160, 100);
    ProcessEventsFor(std::chrono::milliseconds(300));
    EXPECT_GT(LitShareOnScreen(*view), 0.5);

    engine.open(MediaFile(QStringLiteral("tone.wav")));
    EXPECT_TRUE(WaitUntil([&] { return LitShareOnScreen(*view) == 0.0; }));
}

TEST(MpvWindowView, GoingWhilePlayingStopsTheEngine) {
    MpvEngine engine;
    auto window = std::make_unique<QWidget>();
    window->resize(320, 240);
    auto *view = new MpvWindowView(engine, window.get());
    view->resize(320, 240);
    window->show();
    ASSERT_TRUE(WaitUntil([&] { return view->isRendering(); }));
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.2); }));

    window.reset(); // mpv's window goes with ours
    ProcessEventsFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(engine.hasMedia());
}

// Calls `then` when the native window of `window` is about to go.
class BeforeNativeWindowGoes : public QObject {
public:
    BeforeNativeWindowGoes(QWindow *window, std::function<void()> then) : m_then(std::move(then)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            m_then();
        return false;
    }

private:
    std::function<void()> m_then;
};

// Closing a top-level window destroys its native window and, first, those of
// the widgets inside it. mpv's window is a child of the view's: mpv has to be
// done with it by then, or its shutdown later hits a window the X server no
// longer has, and Xlib ends the whole process.
TEST(MpvWindowView, TheEngineLetsGoBeforeTheWindowCloses) {
    MpvEngine engine;
    QWidget window;
    window.resize(320, 240);
    auto *panel = new QWidget(&window); // as in the main window
    panel->resize(320, 240);
    auto *view = new MpvWindowView(engine, panel);
    view->resize(320, 240);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return view->isRendering(); }));
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.2); }));

    // The view's native window is gone when the top-level's is about to go.
    bool playingWhenViewWent = true;
    BeforeNativeWindowGoes watch(window.windowHandle(),
                                 [&] { playingWhenViewWent = engine.hasMedia(); });
    window.close();
    EXPECT_FALSE(playingWhenViewWent);
    EXPECT_FALSE(view->isRendering());

    // Shown again, the view has a new native window and the engine starts
    // again for it.
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return view->isRendering(); })) << "engine not restarted";
    engine.open(MediaFile(QStringLiteral("clip.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return engine.currentTime() > Seconds(0.5); }));
    EXPECT_TRUE(WaitUntil([&] { return LitShareOnScreen(*view) > 0.5; }));
}

} // namespace

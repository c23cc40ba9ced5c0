// Runs on a real X server (xvfb-run): QOpenGLWidget crashes on Qt's offscreen
// platform, and mpv draws into windows of X11 only.
#include "engine/MpvView.h"
#include "engine/MpvEngine.h"
#include "engine/MpvWindowView.h"
#include "integration/IntegrationSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
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

} // namespace

// Runs on a real X server (xvfb-run): QOpenGLWidget crashes on Qt's offscreen
// platform.
#include "engine/MpvView.h"
#include "engine/MpvEngine.h"
#include "integration/IntegrationSupport.h"

#include <QImage>
#include <gtest/gtest.h>

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

} // namespace

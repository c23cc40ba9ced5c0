#include "ui/StyleIcons.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The names the window layouts ask for.
const char *const kRequiredNames[] = {
    "pagecurltoolbutton",           "playtoolbuttonbordered",
    "pausetoolbuttonbordered",      "composetoolbuttonbordered",
    "rewindtoolbuttonbordered",     "forwardtoolbuttonbordered",
    "escapetoolbuttonbordered",     "infotoolbuttonbordered",
    "addtoolbuttonbordered",        "deleteitembutton",
    "trashtoolbuttonbordered",      "donetoolbutton",
    "transparentcirclebuttonstyle",
};

bool IsBlank(const QString &name) {
    return name == QLatin1String("donetoolbutton") ||
           name == QLatin1String("transparentcirclebuttonstyle");
}

QStringList GlyphNames() {
    QStringList names = StyleLookupNames();
    names.removeIf(IsBlank);
    return names;
}

constexpr int kToolButton = 46;

QImage Render(const QIcon &icon, int side, qreal ratio, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(side, side), ratio, mode)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

// Paints straight into a canvas of the given device size, bypassing pixmaps.
QImage PaintDirect(const QIcon &icon, int side) {
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    icon.paint(&p, QRect(0, 0, side, side));
    return img;
}

int MaxAlpha(const QImage &img, const QRect &area) {
    int best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, qAlpha(img.pixel(x, y)));
    return best;
}

// Bounding box of the pixels at least this opaque.
QRect SolidBounds(const QImage &img, int minAlpha) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) >= minAlpha)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Alpha-weighted centre: where the eye puts the middle of the glyph.
QPointF MassCentre(const QImage &img) {
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int a = qAlpha(img.pixel(x, y));
            sum += a;
            sx += a * (x + 0.5);
            sy += a * (y + 0.5);
        }
    return sum > 0 ? QPointF(sx / sum, sy / sum) : QPointF(-1, -1);
}

// Gray level of the fully opaque part of the glyph.
int SolidGray(const QImage &img) {
    int best = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) == 255)
                best = std::max(best, qGray(img.pixel(x, y)));
    return best;
}

} // namespace

TEST(StyleIcon, EveryLayoutNameIsKnownAndNamesItsIcon) {
    const QStringList names = StyleLookupNames();
    for (const char *name : kRequiredNames) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(names.contains(QLatin1String(name)));
        EXPECT_TRUE(HasStyleIcon(QLatin1String(name)));
        EXPECT_EQ(StyleIcon(QLatin1String(name)).name(), QLatin1String(name));
    }
}

TEST(StyleIcon, UnknownNamesGiveANullIcon) {
    for (const char *name : {"", "playtoolbutton", "PLAYTOOLBUTTONBORDERED", "nosuchbutton"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(HasStyleIcon(QLatin1String(name)));
        EXPECT_TRUE(StyleIcon(QLatin1String(name)).isNull());
    }
}

TEST(StyleIcon, GlyphsAreVisibleCentredAndFillAboutSixtyPercent) {
    for (const QString &name : GlyphNames()) {
        SCOPED_TRACE(name.toStdString());
        const QIcon icon = StyleIcon(name);
        ASSERT_FALSE(icon.isNull());
        const QImage img = Render(icon, kToolButton, 1.0);
        ASSERT_EQ(img.size(), QSize(kToolButton, kToolButton));

        // The bordered frame is faint, so the solid pixels are the glyph alone.
        const QRect glyph = SolidBounds(img, 160);
        ASSERT_FALSE(glyph.isEmpty());
        const int extent = std::max(glyph.width(), glyph.height());
        EXPECT_GE(extent, kToolButton * 0.5);
        EXPECT_LE(extent, kToolButton * 0.75);

        const QPointF centre = MassCentre(img);
        EXPECT_NEAR(centre.x(), kToolButton / 2.0, 2.0);
        EXPECT_NEAR(centre.y(), kToolButton / 2.0, 2.0);
    }
}

TEST(StyleIcon, BorderedNamesHaveAFaintFrameAndTheOthersNone) {
    for (const QString &name : GlyphNames()) {
        SCOPED_TRACE(name.toStdString());
        const QImage img = Render(StyleIcon(name), kToolButton, 1.0);
        // The outermost band of the button, well clear of the glyph.
        const int band = 6;
        const int rim = std::max({MaxAlpha(img, QRect(0, 0, kToolButton, band)),
                                  MaxAlpha(img, QRect(0, kToolButton - band, kToolButton, band)),
                                  MaxAlpha(img, QRect(0, 0, band, kToolButton)),
                                  MaxAlpha(img, QRect(kToolButton - band, 0, band, kToolButton))});
        if (name.endsWith(QLatin1String("bordered"))) {
            EXPECT_GT(rim, 0);
            EXPECT_LT(rim, 128);
        } else {
            EXPECT_EQ(rim, 0);
        }
    }
}

TEST(StyleIcon, DoubleDensityPixmapIsDrawnAtFullResolution) {
    for (const QString &name : GlyphNames()) {
        SCOPED_TRACE(name.toStdString());
        const QIcon icon = StyleIcon(name);
        const QPixmap pm = icon.pixmap(QSize(kToolButton, kToolButton), 2.0);
        ASSERT_EQ(pm.size(), QSize(2 * kToolButton, 2 * kToolButton));
        EXPECT_EQ(pm.devicePixelRatio(), 2.0);

        const QImage hiDpi = pm.toImage().convertToFormat(QImage::Format_ARGB32);
        // Same pixels as drawing the vectors straight onto a 92 px canvas, so
        // nothing was enlarged from a 46 px picture.
        EXPECT_EQ(hiDpi, PaintDirect(icon, 2 * kToolButton));
        const QImage upscaled =
            Render(icon, kToolButton, 1.0)
                .scaled(hiDpi.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_NE(hiDpi, upscaled);

        // And the glyph keeps its proportions.
        const QRect small = SolidBounds(Render(icon, kToolButton, 1.0), 160);
        const QRect large = SolidBounds(hiDpi, 160);
        EXPECT_NEAR(large.width(), 2 * small.width(), 3);
        EXPECT_NEAR(large.height(), 2 * small.height(), 3);
    }
}

TEST(StyleIcon, DisabledIsDimmerAndActiveBrighter) {
    for (const QString &name : GlyphNames()) {
        SCOPED_TRACE(name.toStdString());
        const QIcon icon = StyleIcon(name);
        const int normal = SolidGray(Render(icon, kToolButton, 1.0, QIcon::Normal));
        const int disabled = SolidGray(Render(icon, kToolButton, 1.0, QIcon::Disabled));
        const int active = SolidGray(Render(icon, kToolButton, 1.0, QIcon::Active));
        EXPECT_GE(normal, 0xb0);
        EXPECT_LE(disabled, normal - 0x40);
        EXPECT_GT(active, normal);
    }
}

TEST(StyleIcon, BlankNamesPaintNothingAndLeaveButtonTextAlone) {
    for (const char *name : {"donetoolbutton", "transparentcirclebuttonstyle"}) {
        SCOPED_TRACE(name);
        const QIcon icon = StyleIcon(QLatin1String(name));
        ASSERT_TRUE(HasStyleIcon(QLatin1String(name)));
        for (const int side : {kToolButton, 2 * kToolButton})
            EXPECT_EQ(MaxAlpha(PaintDirect(icon, side), QRect(0, 0, side, side)), 0);

        // A text button given this icon lays out exactly as one without it.
        QPushButton plain(QStringLiteral("URL"));
        QPushButton withIcon(QStringLiteral("URL"));
        withIcon.setIcon(icon);
        EXPECT_EQ(withIcon.sizeHint(), plain.sizeHint());
    }
}

namespace {

// The theme changes application-wide state; put it back so the other tests in
// this process see the stock look.
class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_palette = QApplication::palette();
        m_font = QApplication::font();
        m_styleSheet = qApp->styleSheet();
        m_styleName = QApplication::style()->name();
        ApplyDarkTheme(*qApp);
    }
    void TearDown() override {
        qApp->setStyleSheet(m_styleSheet);
        QApplication::setStyle(m_styleName);
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }

private:
    QPalette m_palette;
    QFont m_font;
    QString m_styleSheet;
    QString m_styleName;
};

// WCAG contrast ratio of two colours.
double Contrast(const QColor &a, const QColor &b) {
    auto lum = [](const QColor &c) {
        auto ch = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage Grab(QWidget &w, const QColor &background) {
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(background);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

} // namespace

TEST_F(ThemeTest, PaletteIsDarkAndReadable) {
    const QPalette pal = QApplication::palette();
    EXPECT_LT(pal.color(QPalette::Window).lightness(), 0x30);
    EXPECT_LT(pal.color(QPalette::Base).lightness(), pal.color(QPalette::Window).lightness());
    // Alternating rows must be told apart, but only just.
    const int rowStep =
        pal.color(QPalette::AlternateBase).lightness() - pal.color(QPalette::Base).lightness();
    EXPECT_GE(rowStep, 6);
    EXPECT_LE(rowStep, 20);

    for (const auto &[fg, bg] : {std::pair{QPalette::Text, QPalette::Base},
                                 std::pair{QPalette::WindowText, QPalette::Window},
                                 std::pair{QPalette::ButtonText, QPalette::Button},
                                 std::pair{QPalette::Text, QPalette::AlternateBase}}) {
        SCOPED_TRACE(int(fg));
        EXPECT_GE(Contrast(pal.color(fg), pal.color(bg)), 7.0);
        EXPECT_LT(pal.color(QPalette::Disabled, fg).lightness(), pal.color(fg).lightness());
    }

    const QColor highlight = pal.color(QPalette::Highlight);
    EXPECT_GE(highlight.hue(), 195);
    EXPECT_LE(highlight.hue(), 230);
    EXPECT_GE(Contrast(pal.color(QPalette::HighlightedText), highlight), 4.5);

    const double points = QApplication::font().pointSizeF();
    if (points > 0) {
        EXPECT_GE(points, 9.0);
        EXPECT_LE(points, 10.0);
    }
}

TEST_F(ThemeTest, ToolBarButtonsAreFlatWithAShadeWhileDialogButtonsKeepTheirFrame) {
    const QColor window = QApplication::palette().color(QPalette::Window);
    QImage bare(kToolButton, kToolButton, QImage::Format_ARGB32);
    bare.fill(window);

    QWidget toolBar;
    toolBar.setObjectName(QStringLiteral("ToolBar1"));
    auto *tool = new QToolButton(&toolBar);
    tool->setAutoRaise(true);
    auto *push = new QPushButton(&toolBar);
    struct Case {
        QAbstractButton *button;
        bool hover; // hovered rather than pressed
    };
    for (const Case &c : {Case{tool, false}, Case{tool, true}, Case{push, false}}) {
        SCOPED_TRACE(c.button->metaObject()->className());
        SCOPED_TRACE(c.hover ? "hovered" : "pressed");
        c.button->resize(kToolButton, kToolButton);
        c.button->setDown(false);
        c.button->setAttribute(Qt::WA_UnderMouse, false);
        EXPECT_EQ(Grab(*c.button, window), bare);

        c.button->setDown(!c.hover);
        c.button->setAttribute(Qt::WA_UnderMouse, c.hover);
        const QImage shaded = Grab(*c.button, window);
        const QColor centre = shaded.pixelColor(kToolButton / 2, kToolButton / 2);
        EXPECT_GT(centre.lightness(), window.lightness());
        EXPECT_LT(centre.lightness(), window.lightness() + 0x40);
        EXPECT_EQ(shaded.pixelColor(0, 0), window); // rounded, not a square slab
    }

    QPushButton dialog(QStringLiteral("OK"));
    dialog.resize(80, 30);
    const QImage dialogImg = Grab(dialog, window);
    EXPECT_NE(dialogImg.pixelColor(dialogImg.width() / 2, 0), window);
}

TEST_F(ThemeTest, UrlButtonTextIsGray) {
    QToolButton url;
    url.setObjectName(QStringLiteral("bURL"));
    url.setText(QStringLiteral("URL"));
    url.setToolButtonStyle(Qt::ToolButtonTextOnly);
    url.ensurePolished();
    QToolButton other;
    other.setText(QStringLiteral("Other"));
    other.ensurePolished();

    const QColor gray = url.palette().color(QPalette::ButtonText);
    EXPECT_EQ(gray.red(), gray.green());
    EXPECT_EQ(gray.green(), gray.blue());
    EXPECT_LT(gray.lightness(), other.palette().color(QPalette::ButtonText).lightness());
    EXPECT_GE(Contrast(gray, QApplication::palette().color(QPalette::Window)), 4.5);
}

TEST_F(ThemeTest, PositionBarShowsThePlayedPartInTheHighlight) {
    const QPalette pal = QApplication::palette();
    QSlider bar(Qt::Horizontal);
    bar.setObjectName(QStringLiteral("TrackBar"));
    bar.setRange(0, 100);
    bar.setValue(50);
    bar.resize(200, 16); // the height it has in the strip under the video
    const QImage img = Grab(bar, Qt::black);
    const int mid = img.height() / 2;
    EXPECT_EQ(img.pixelColor(40, mid), pal.color(QPalette::Highlight));
    const QColor rest = img.pixelColor(160, mid);
    EXPECT_NE(rest, pal.color(QPalette::Highlight));
    EXPECT_NE(rest, QColor(Qt::black));
}

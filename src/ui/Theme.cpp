#include "ui/Theme.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

namespace {

QPalette DarkPalette() {
    const QColor window(0x20, 0x20, 0x20);
    const QColor base(0x18, 0x18, 0x18);
    const QColor alternateBase(0x24, 0x24, 0x24);
    const QColor button(0x2c, 0x2c, 0x2c);
    const QColor text(0xe0, 0xe0, 0xe0);
    const QColor dimText(0x70, 0x70, 0x70);
    const QColor highlight(0x3a, 0x6e, 0xa5);

    QPalette pal;
    pal.setColor(QPalette::Window, window);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::AlternateBase, alternateBase);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::PlaceholderText, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Button, button);
    pal.setColor(QPalette::ButtonText, text);
    pal.setColor(QPalette::BrightText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, button);
    pal.setColor(QPalette::ToolTipText, text);
    pal.setColor(QPalette::Highlight, highlight);
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Link, QColor(0x6f, 0xa8, 0xdc));
    pal.setColor(QPalette::LinkVisited, QColor(0x9a, 0x8a, 0xd0));

    // Fusion builds its bevels and frames from these; the light-theme values
    // would give bright outlines around every control.
    pal.setColor(QPalette::Light, QColor(0x3a, 0x3a, 0x3a));
    pal.setColor(QPalette::Midlight, QColor(0x32, 0x32, 0x32));
    pal.setColor(QPalette::Mid, QColor(0x28, 0x28, 0x28));
    pal.setColor(QPalette::Dark, QColor(0x14, 0x14, 0x14));
    pal.setColor(QPalette::Shadow, QColor(0x00, 0x00, 0x00));

    for (const auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        pal.setColor(QPalette::Disabled, role, dimText);
    pal.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x38, 0x38, 0x38));
    pal.setColor(QPalette::Disabled, QPalette::Base, window);
    return pal;
}

// Kept deliberately short: the palette does most of the work, the sheet only
// flattens the tool-bar buttons and draws the sliders.
const char kStyleSheet[] = R"(
QCheckBox::indicator {
    width: 14px;
    height: 14px;
    border: 1px solid #8a8a8a;
    border-radius: 3px;
    background: #181818;
}
QCheckBox::indicator:hover { border-color: #d0d0d0; }
QCheckBox::indicator:checked {
    background: #3a6ea5;
    border-color: #6f9fd0;
    image: none;
}
QToolButton, #ToolBar1 QPushButton {
    border: none;
    border-radius: 9px;
    background: transparent;
    padding: 0px;
}
QToolButton:hover, #ToolBar1 QPushButton:hover {
    background: rgba(255, 255, 255, 22);
}
QToolButton:pressed, #ToolBar1 QPushButton:pressed,
QToolButton:checked, #ToolBar1 QPushButton:checked {
    background: rgba(255, 255, 255, 44);
}
QToolButton:disabled, #ToolBar1 QPushButton:disabled {
    background: transparent;
}
#bURL { color: #a0a0a0; }
#bURL:hover { color: #e0e0e0; }
#bURL:disabled { color: #606060; }

QSlider::groove:horizontal {
    height: 4px;
    border-radius: 2px;
    background: #3a3a3a;
}
QSlider::sub-page:horizontal {
    border-radius: 2px;
    background: #3a6ea5;
}
QSlider::handle:horizontal {
    width: 12px;
    margin: -4px 0;
    border-radius: 6px;
    background: #d0d0d0;
}
QSlider::groove:vertical {
    width: 4px;
    border-radius: 2px;
    background: #3a3a3a;
}
QSlider::add-page:vertical {
    border-radius: 2px;
    background: #3a6ea5;
}
QSlider::handle:vertical {
    height: 12px;
    margin: 0 -4px;
    border-radius: 6px;
    background: #d0d0d0;
}
QSlider::handle:hover { background: #ffffff; }
QSlider::sub-page:disabled, QSlider::add-page:vertical:disabled { background: #3a3a3a; }
QSlider::handle:disabled { background: #606060; }

QSlider#TrackBar::groove:horizontal {
    height: 6px;
    border-radius: 3px;
}
QSlider#TrackBar::sub-page:horizontal { border-radius: 3px; }
QSlider#TrackBar::handle:horizontal {
    width: 14px;
    margin: -4px 0;
    border-radius: 7px;
}
)";

} // namespace

void ApplyDarkTheme(QApplication &app) {
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(DarkPalette());

    // Desktop defaults range from tiny to large; the tool bar and the list are
    // laid out for text of about 9-10 points.
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(std::clamp(font.pointSizeF(), 9.0, 10.0));
        QApplication::setFont(font);
    }

    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

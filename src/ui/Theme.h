#pragma once

class QApplication;

// Puts the whole application into the dark look: the Fusion style, a dark
// palette (list views alternate #181818 / #242424 rows) and a short style sheet.
//
// The style sheet covers:
//  - tool-bar buttons: every QToolButton, and every QPushButton inside a
//    window's "ToolBar1" strip, loses its border and gets a hover and a
//    pressed shade; push buttons in dialogs keep their normal frame;
//  - the button named "bURL", whose text is gray;
//  - sliders, and the position bar in the strip under the video (the slider
//    named "TrackBar"), which gets a taller groove so it is easy to hit.
void ApplyDarkTheme(QApplication &app);

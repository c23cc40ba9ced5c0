#pragma once

#include <QWidget>

class PlayerState;
class StyledButton;
class TrackBar;
class QCheckBox;
class QLabel;
class QTimer;
class QFrame;

// The main player window: video area, position strip and tool bar. Closing
// it ends the program.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinClientWidth = 817;
    static constexpr int kMinClientHeight = 366;

    explicit TForm1(PlayerState &state);

    PlayerState &state() { return m_state; }

    // Frame position in screen pixels, as the settings file keeps it.
    int top() const { return y(); }
    int left() const { return x(); }
    void setTop(int top) { move(x(), top); }
    void setLeft(int left) { move(left, y()); }

    // Controls, by the names the rest of the program uses.
    QFrame *Panel1;
    QWidget *Rectangle1, *Rectangle2, *Rectangle3;
    QWidget *MediaPlayerControl1;
    TrackBar *TrackBar1; // the position bar ("TrackBar")
    QLabel *cTime;
    QWidget *ToolBar1;
    StyledButton *bOpen, *bURL, *bPause, *bList, *bPrevious, *bNext, *bExit, *bInfo;
    TrackBar *VolumeBar;
    QLabel *nextRL;
    QCheckBox *fScreen;
    QTimer *Timer1, *Timer2, *hide;

    // Handlers. FormShow is the restore sequence, run once at the first
    // showing before any other event; it raises on an error.
    void FormShow();
    bool FormClose(); // false when the close is abandoned
    void bExitClick();
    void bInfoClick();
    void bListClick();
    void bURLClick();
    void FormKeyDown(int key);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void bindState();

    PlayerState &m_state;
};

extern TForm1 *Form1;

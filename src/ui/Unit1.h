#pragma once

#include <QWidget>

class Player;
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

    explicit TForm1(Player &player);

    Player &player() { return m_player; }
    PlayerState &state() { return m_state; }

    // Puts the video view in place of the black area.
    void setVideoView(QWidget *view);
    // Sets the window's height, frame included, as a video start asks.
    void setFrameHeight(int height);

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
    void bOpenClick();
    void bPauseClick();
    void bNextClick();
    void bPreviousClick();
    void Timer1Timer();
    void Timer2Timer();
    void bInfoClick();
    void bListClick();
    void bURLClick();
    void FormKeyDown(int key);

    // Full screen. The frame kind and the platform's full-screen switch are
    // kept here as the sequences set them; Qt's window follows.
    enum class BorderStyle { None, Single, Sizeable };
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);
    bool fullScreenSwitch() const { return m_fullScreenSwitch; } // FullScreen
    void setFullScreenSwitch(bool on);
    bool windowStateNormal() const;
    void setWindowStateNormal();
    void setWindowStateMaximized();
    void setBarsVisible(bool visible); // ToolBar1 and Rectangle3 together

    void enterFullScreen();
    void leaveFullScreenByF11();
    void leaveFullScreenByDblClick();
    void leaveFullScreenByEsc();
    void ToolBar1DblClick();
    void hideTimer();
    void FormMouseMove(QPoint pos);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A file or "http:" link dropped from the desktop plays as the open-file
    // command plays a file; the playlist stays as it is.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void bindState();

    void applyFrame();

    BorderStyle m_borderStyle = BorderStyle::Sizeable;
    bool m_fullScreenSwitch = false;
    // What entering full screen remembered, for leaving it.
    BorderStyle m_savedBorder = BorderStyle::Sizeable;
    bool m_savedMaximized = false;
    QRect m_savedGeometry;
    bool m_hasSavedGeometry = false;
    QSize m_restoreSize; // the normal size full screen gave back

    Player &m_player;
    PlayerState &m_state;
};

extern TForm1 *Form1;

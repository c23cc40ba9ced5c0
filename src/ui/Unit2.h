#pragma once

#include <QCheckBox>
#include <QListView>
#include <QWidget>

class Player;
class PlayerState;
class StyledButton;
class QLabel;
class QLineEdit;
class QFrame;

class PlaylistModel;

// The list of rows. A row pressed and dragged onto another row moves to that
// row's place (while a search is in effect, within the full list) and
// becomes the selected row.
class PlaylistView : public QListView {
    Q_OBJECT
public:
    PlaylistView(PlaylistModel &model, QWidget *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    PlaylistModel &m_model;
    int m_pressedRow = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
};

// A switch whose whole area, caption included, toggles it.
class SwitchBox : public QCheckBox {
    Q_OBJECT
public:
    SwitchBox(const QString &objectName, QWidget *parent);

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

// The playlist window: the list with its search box, the repeat and shuffle
// switches and the commands that edit the list. Closing it only hides it.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignTop = 242;
    static constexpr int kDesignLeft = 467;

    explicit TForm2(Player &player);

    PlayerState &state() { return m_state; }

    // Frame position in screen pixels. A move made before the first showing
    // is honoured there in place of centring over the main window.
    int top() const { return y(); }
    int left() const { return x(); }
    void setTop(int top);
    void setLeft(int left);

    QWidget *Rectangle1;
    QFrame *Panel1;
    QWidget *ToolBar1;
    QWidget *ListBox1;
    PlaylistView *ListView;
    QLineEdit *SearchBox1;
    StyledButton *bApp, *bURL, *bDel, *Button2, *bErase, *bExit, *Button1, *sep;
    SwitchBox *cShuffle, *cRepeat;
    QLabel *Label1, *Label2, *iiCheck;

    // Handlers.
    void FormClose(); // raises on an error, which abandons the close
    void bExitClick();
    void bAppClick();
    void bURLClick();
    void bDelClick();
    void bEraseClick();
    void SearchBox1Click();
    void FormKeyDown(int key);
    void ListBox1DblClick();

    // Lays the rows out again (after the search text changed).
    void realignContent();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Files dropped from the desktop are appended as bApp appends them, in
    // the order of the drop; an "http:" link as the link window's add mode
    // appends one.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void bindState();
    void moveBeforeShow(int left, int top);

    Player &m_player;
    PlayerState &m_state;
    bool m_shownOnce = false;
    bool m_movedBeforeShow = false;
    bool m_syncingSelection = false;
};

extern TForm2 *Form2;

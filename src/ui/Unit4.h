#pragma once

#include <QWidget>

class Player;
class StyledButton;
class QFrame;
class QLabel;
class QLineEdit;

// The link window: a field for an "http:" link, played at once (open mode)
// or added to the playlist (add mode). The mode lives in Button1's style
// lookup. Closing it only hides it.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(Player &player);

    QFrame *Panel1;
    QLabel *Label1;
    QLineEdit *Edit1;
    StyledButton *Button1, *bExit;

    // Shows the window without making it modal, or brings it to the front.
    void showWindow();

    void Button1Click();
    void bExitClick() { close(); }
    void FormKeyDown(int key);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Player &m_player;
    bool m_shownOnce = false;
};

extern TForm4 *Form4;

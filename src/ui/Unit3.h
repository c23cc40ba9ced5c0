#pragma once

#include <QWidget>

class StyledButton;
class QFrame;
class QLabel;
class QPlainTextEdit;

// The information window: product line, the system it runs under and a link
// to the maker's page. Frameless; closing it only hides it.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3();

    QFrame *Panel1;
    QLabel *Label1, *Label2, *veksoURL;
    QPlainTextEdit *Memo1;
    StyledButton *bExit;

    void FormShow();
    void bExitClick() { close(); }
    void veksoURLClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_shownOnce = false;
};

// One line naming the system: name, version, build and 32- or 64-bit edition.
QString SystemDescription();

extern TForm3 *Form3;

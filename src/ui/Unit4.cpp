#include "ui/Unit4.h"

#include "persistence/PlaylistFile.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

TForm4 *Form4 = nullptr;

TForm4::TForm4(Player &player) : QWidget(nullptr), m_player(player) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Открыть ссылку"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(610, 97);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(5, 5, 600, 87);

    QFont big = font();
    big.setPixelSize(14);
    Label1 = new QLabel(QStringLiteral("Ссылка"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(big);
    Label1->move(16, 8);
    Edit1 = new QLineEdit(PlaylistFile::kSampleEntry, Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFont(big);
    Edit1->setGeometry(16, 32, 465, 33);
    Button1 = new StyledButton(QStringLiteral("Button1"), QStringLiteral("playtoolbuttonbordered"),
                               Panel1);
    Button1->move(490, 24);
    bExit = new StyledButton(QStringLiteral("bExit"), QStringLiteral("escapetoolbuttonbordered"),
                             Panel1);
    bExit->move(544, 24);
    connect(bExit, &QToolButton::clicked, this, [this] { bExitClick(); });
    connect(Button1, &QToolButton::clicked, this,
            [this] { RunHandler([this] { Button1Click(); }); });
}

void TForm4::Button1Click() {
    const QString text = Edit1->text();
    const QString prefix = text.left(5);
    if (prefix == QLatin1String("https"))
        AppDialogs().error(kHttpsRefusedText);
    if (prefix == kLinkPrefix) {
        // Any look other than the play look means add mode.
        if (Button1->styleLookup() != QLatin1String("playtoolbuttonbordered"))
            m_player.state().list.append({text});
        else
            m_player.OpenLink(text); // an error leaves the window open
    }
    close();
}

void TForm4::showWindow() {
    show();
    raise();
    activateWindow();
}

void TForm4::showEvent(QShowEvent *event) {
    if (!m_shownOnce && Form1) {
        m_shownOnce = true;
        move(Form1->frameGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void TForm4::keyPressEvent(QKeyEvent *event) {
    FormKeyDown(event->key());
    QWidget::keyPressEvent(event);
}

void TForm4::FormKeyDown(int key) {
    if (key == Qt::Key_Escape)
        close();
}

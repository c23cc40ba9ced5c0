#include "ui/Unit1.h"

#include "app/Lifecycle.h"
#include "playback/Dialogs.h"
#include "playback/PlayerState.h"
#include "playback/Texts.h"
#include "ui/StyledButton.h"
#include "ui/TrackBar.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

TForm1 *Form1 = nullptr;

namespace {

QWidget *BlackRectangle(const QString &name, QWidget *parent) {
    auto *w = new QWidget(parent);
    w->setObjectName(name);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::black);
    w->setPalette(p);
    return w;
}

} // namespace

TForm1::TForm1(PlayerState &state) : QWidget(nullptr), m_state(state) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(m_state.mainCaption());
    // The minimum client size is the design size; the window manager keeps a
    // border drag from going below it, and a resize by the program is held
    // there too.
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    resize(kMinClientWidth, kMinClientHeight);
    buildControls();
    bindState();
}

void TForm1::buildControls() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2); // the bare band around Panel1
    outer->setSpacing(0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    outer->addWidget(Panel1);
    auto *panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);

    Rectangle1 = BlackRectangle(QStringLiteral("Rectangle1"), Panel1);
    panel->addWidget(Rectangle1, 1);
    auto *r1 = new QVBoxLayout(Rectangle1);
    r1->setContentsMargins(0, 0, 0, 0);
    r1->setSpacing(0);

    Rectangle2 = BlackRectangle(QStringLiteral("Rectangle2"), Rectangle1);
    r1->addWidget(Rectangle2, 1);
    auto *r2 = new QVBoxLayout(Rectangle2);
    r2->setContentsMargins(0, 0, 0, 0);
    MediaPlayerControl1 = BlackRectangle(QStringLiteral("MediaPlayerControl1"), Rectangle2);
    r2->addWidget(MediaPlayerControl1);

    Rectangle3 = BlackRectangle(QStringLiteral("Rectangle3"), Rectangle1);
    Rectangle3->setFixedHeight(20);
    r1->addWidget(Rectangle3);
    auto *r3 = new QHBoxLayout(Rectangle3);
    r3->setContentsMargins(0, 0, 0, 0);
    r3->setSpacing(0);
    TrackBar1 = new TrackBar(QStringLiteral("TrackBar"), Rectangle3);
    TrackBar1->setMax(1.0f);
    auto *trackHolder = new QHBoxLayout;
    trackHolder->setContentsMargins(2, 2, 2, 2);
    trackHolder->addWidget(TrackBar1);
    r3->addLayout(trackHolder, 1);
    cTime = new QLabel(kClockZero, Rectangle3);
    cTime->setObjectName(QStringLiteral("cTime"));
    cTime->setFixedSize(50, 20);
    cTime->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont clockFont = cTime->font();
    clockFont.setPixelSize(11); // "00:00:00" fits the label's 50 pixels
    cTime->setFont(clockFont);
    r3->addWidget(cTime);

    ToolBar1 = new QWidget(Panel1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(46);
    panel->addWidget(ToolBar1);
    auto *bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);

    bOpen =
        new StyledButton(QStringLiteral("bOpen"), QStringLiteral("pagecurltoolbutton"), ToolBar1);
    bURL = new StyledButton(QStringLiteral("bURL"), QStringLiteral("donetoolbutton"), ToolBar1);
    bURL->setText(QStringLiteral("URL"));
    bURL->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bPause = new StyledButton(QStringLiteral("bPause"), QStringLiteral("playtoolbuttonbordered"),
                              ToolBar1);
    bList = new StyledButton(QStringLiteral("bList"), QStringLiteral("composetoolbuttonbordered"),
                             ToolBar1);
    bList->setFocusPolicy(Qt::NoFocus);
    bPrevious = new StyledButton(QStringLiteral("bPrevious"),
                                 QStringLiteral("rewindtoolbuttonbordered"), ToolBar1);
    bNext = new StyledButton(QStringLiteral("bNext"), QStringLiteral("forwardtoolbuttonbordered"),
                             ToolBar1);
    bExit = new StyledButton(QStringLiteral("bExit"), QStringLiteral("escapetoolbuttonbordered"),
                             ToolBar1);
    bInfo = new StyledButton(QStringLiteral("bInfo"), QStringLiteral("infotoolbuttonbordered"),
                             ToolBar1);
    VolumeBar = new TrackBar(QStringLiteral("VolumeBar"), ToolBar1);
    VolumeBar->setFixedWidth(195);
    VolumeBar->setMax(1.0f);
    // Turned by half a turn: value 0 lies at the right end, so moving the
    // thumb to the right makes the sound louder.
    VolumeBar->setInvertedAppearance(true);
    VolumeBar->setInvertedControls(true);

    // Left group, each followed by its right margin.
    const std::pair<QWidget *, int> left[] = {{bOpen, 5}, {bURL, 0},      {bPause, 5},
                                              {bList, 5}, {bPrevious, 5}, {bNext, 5}};
    for (const auto &[w, margin] : left) {
        bar->addWidget(w);
        if (margin)
            bar->addSpacing(margin);
    }
    bar->addStretch(1);
    // Right group, laid out from the left: VolumeBar, bInfo, bExit.
    bar->addWidget(VolumeBar);
    bar->addWidget(bInfo);
    bar->addSpacing(5);
    bar->addWidget(bExit);
    bar->addSpacing(5);

    nextRL = new QLabel(m_state.nextRL.text(), ToolBar1);
    nextRL->setObjectName(QStringLiteral("nextRL"));
    nextRL->hide();
    fScreen = new QCheckBox(QStringLiteral("fScreen"), ToolBar1);
    fScreen->setObjectName(QStringLiteral("fScreen"));
    fScreen->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(3000);
    hide = new QTimer(this);
    hide->setObjectName(QStringLiteral("hide"));
    hide->setInterval(5000);
}

void TForm1::bindState() {
    connect(&m_state, &PlayerState::mainCaptionChanged, this, &QWidget::setWindowTitle);
    connect(&m_state.nextRL, &IndexLabel::textChanged, nextRL, &QLabel::setText);
    connect(&m_state, &PlayerState::fullScreenChanged, fScreen, &QCheckBox::setChecked);
    connect(&m_state, &PlayerState::volumeChanged, this,
            [this](float v) { VolumeBar->setValue(v); });
    VolumeBar->setValue(m_state.volume());
    connect(VolumeBar, &TrackBar::changed, this, [this] { m_state.setVolume(VolumeBar->value()); });

    connect(bExit, &QToolButton::clicked, this, [this] { RunHandler([this] { bExitClick(); }); });
    connect(bInfo, &QToolButton::clicked, this, [this] { RunHandler([this] { bInfoClick(); }); });
    connect(bList, &QToolButton::clicked, this, [this] { RunHandler([this] { bListClick(); }); });
    connect(bURL, &QToolButton::clicked, this, [this] { RunHandler([this] { bURLClick(); }); });
}

void TForm1::FormShow() {
    RestoreSequence();
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (!RunHandler([this] { FormClose(); })) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

bool TForm1::FormClose() {
    MainWindowSettingsWrite();
    return true;
}

void TForm1::bExitClick() {
    close();
}

void TForm1::bInfoClick() {
    Form3->show();
    Form3->raise();
    Form3->activateWindow();
}

void TForm1::bListClick() {
    if (Form2->isVisible())
        Form2->close();
    else
        Form2->setVisible(true);
}

void TForm1::bURLClick() {
    Form4->Button1->setStyleLookup(QStringLiteral("playtoolbuttonbordered"));
    Form4->Label1->setText(QStringLiteral("Ссылка"));
    Form4->setWindowTitle(QStringLiteral("Открыть ссылку"));
    Form4->showWindow();
}

void TForm1::keyPressEvent(QKeyEvent *event) {
    FormKeyDown(event->key());
    QWidget::keyPressEvent(event);
}

void TForm1::FormKeyDown(int key) {
    if (key == Qt::Key_F12)
        RunHandler([this] { bListClick(); });
}

#include "ui/Unit1.h"

#include "app/Lifecycle.h"
#include "app/OpenWith.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playback/Texts.h"
#include "ui/FileDialogs.h"
#include "ui/StyledButton.h"
#include "ui/TrackBar.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

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

TForm1::TForm1(Player &player) : QWidget(nullptr), m_player(player), m_state(player.state()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(m_state.mainCaption());
    // The minimum client size is the design size; the window manager keeps a
    // border drag from going below it, and a resize by the program is held
    // there too.
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    resize(kMinClientWidth, kMinClientHeight);
    buildControls();
    bindState();
    setAcceptDrops(true);
}

void TForm1::buildControls() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2); // the bare band around Panel1
    outer->setSpacing(0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    outer->addWidget(Panel1);
    // The bare band around the panel is black, so that in full screen the
    // picture has no light rim.
    QPalette band = palette();
    band.setColor(QPalette::Window, Qt::black);
    setPalette(band);
    setAutoFillBackground(true);
    Panel1->setPalette(QApplication::palette());
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

    auto *bar = AddToolBar(Panel1, panel, &ToolBar1);

    bOpen =
        new StyledButton(QStringLiteral("bOpen"), QStringLiteral("pagecurltoolbutton"), ToolBar1);
    bURL = NewUrlButton(ToolBar1);
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
    connect(&m_state, &PlayerState::clockChanged, cTime, &QLabel::setText);
    connect(&m_state, &PlayerState::nextEnabledChanged, bNext, &QWidget::setEnabled);
    connect(&m_state, &PlayerState::pauseButtonChanged, this, [this] {
        bPause->setStyleLookup(m_state.pauseLook());
        bPause->setHint(m_state.pauseHint());
    });
    connect(&m_state, &PlayerState::mainHeightRequested, this, &TForm1::setFrameHeight);
    connect(&m_state, &PlayerState::pauseFocusRequested, this, [this] { bPause->setFocus(); });

    // The bars show the state; a move by the user goes back into it, which
    // runs the bar's change handler.
    auto showPosition = [this] { TrackBar1->display(m_state.bar.max(), m_state.bar.value()); };
    connect(&m_state.bar, &PositionBar::changed, this, showPosition);
    connect(&m_state.bar, &PositionBar::rangeChanged, this, showPosition);
    showPosition();
    connect(TrackBar1, &TrackBar::userChanged, this,
            [this](float v) { RunHandler([&] { m_state.bar.setValue(v); }); });
    auto showVolume = [this] { VolumeBar->display(1.0f, m_state.volume()); };
    connect(&m_state, &PlayerState::volumeChanged, this, showVolume);
    showVolume();
    connect(VolumeBar, &TrackBar::userChanged, this,
            [this](float v) { RunHandler([&] { m_state.setVolume(v); }); });

    // Timer1 and Timer2 run from the start; Timer2 follows its flag.
    // A message box runs its own event loop; the timers wait until it is
    // answered, so that no command starts while another one is still asking.
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (!QApplication::activeModalWidget())
            RunHandler([this] { Timer1Timer(); });
    });
    connect(Timer2, &QTimer::timeout, this, [this] {
        if (!QApplication::activeModalWidget())
            RunHandler([this] { Timer2Timer(); });
    });
    connect(&m_state, &PlayerState::endCheckEnabledChanged, this, [this](bool on) {
        if (on)
            Timer2->start();
        else
            Timer2->stop();
    });
    Timer1->start();
    Timer2->start();
    connect(hide, &QTimer::timeout, this, [this] { RunHandler([this] { hideTimer(); }); });
    setMouseTracking(true);
    ToolBar1->installEventFilter(this);

    auto bind = [this](StyledButton *b, void (TForm1::*handler)()) {
        connect(b, &QToolButton::clicked, this,
                [this, handler] { RunHandler([&] { (this->*handler)(); }); });
    };
    bind(bOpen, &TForm1::bOpenClick);
    bind(bURL, &TForm1::bURLClick);
    bind(bPause, &TForm1::bPauseClick);
    bind(bList, &TForm1::bListClick);
    bind(bPrevious, &TForm1::bPreviousClick);
    bind(bNext, &TForm1::bNextClick);
    bind(bInfo, &TForm1::bInfoClick);
    bind(bExit, &TForm1::bExitClick);
}

void TForm1::setVideoView(QWidget *view) {
    view->setObjectName(QStringLiteral("MediaPlayerControl1"));
    // The layout hands back the item that held the old widget; it is ours.
    delete Rectangle2->layout()->replaceWidget(MediaPlayerControl1, view);
    delete MediaPlayerControl1;
    MediaPlayerControl1 = view;
}

void TForm1::setFrameHeight(int height) {
    // The height asked for is the window's, frame included; the minimum
    // client size still holds.
    const int frame = frameGeometry().height() - this->height();
    resize(width(), std::max(height - frame, minimumHeight()));
}

void TForm1::bOpenClick() {
    const QString path = ChooseMediaFile(this);
    if (path.isEmpty())
        return;
    m_player.OpenFile(path);
}

void TForm1::bPauseClick() {
    m_player.PlayPauseClick();
}
void TForm1::bNextClick() {
    m_player.Next();
}
void TForm1::bPreviousClick() {
    m_player.Previous();
}
void TForm1::Timer1Timer() {
    m_player.Tick();
}
void TForm1::Timer2Timer() {
    m_player.EndCheck();
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
    if (key == Qt::Key_F11) {
        if (windowStateNormal())
            enterFullScreen();
        else
            leaveFullScreenByF11();
    }
    if (key == Qt::Key_Escape)
        leaveFullScreenByEsc();
    if (key == Qt::Key_F12)
        RunHandler([this] { bListClick(); });
    // Space pauses and resumes, once per press, wherever the focus is in this
    // window: the buttons pass it on instead of clicking, and the volume bar
    // has no handler of its own for it.
    if (key == Qt::Key_Space)
        RunHandler([this] { m_player.TogglePause(); });
}

bool TForm1::windowStateNormal() const {
    return !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void TForm1::setWindowStateNormal() {
    // Leaving the platform's full screen already brought the window back.
    if (!m_fullScreenSwitch)
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
}

void TForm1::setWindowStateMaximized() {
    // While the platform's full screen is on, the window is already as large
    // as the screen; the state is kept for leaving it.
    if (!m_fullScreenSwitch)
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void TForm1::setBorderStyle(BorderStyle style) {
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    applyFrame();
}

void TForm1::applyFrame() {
    // A fixed frame holds the window at its present size; the sizeable one
    // brings back the minimum.
    if (m_borderStyle == BorderStyle::Single) {
        // The size the window has as a normal window: the window manager may
        // not yet have answered the way back from full screen or maximized.
        QSize fixed = size();
        if (m_restoreSize.isValid())
            fixed = m_restoreSize;
        else if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            fixed = normalGeometry().size();
        setFixedSize(fixed);
    } else {
        setMinimumSize(kMinClientWidth, kMinClientHeight);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    // In the platform's full screen the window manager already drops the
    // frame; changing the flags there would re-create the native window and
    // can lose the window manager's answer to the full-screen request.
    const bool frameless = m_borderStyle == BorderStyle::None && !m_fullScreenSwitch;
    if (bool(windowFlags() & Qt::FramelessWindowHint) != frameless) {
        const bool shown = isVisible();
        setWindowFlag(Qt::FramelessWindowHint, frameless);
        if (shown)
            show(); // a change of flags hides a top-level window
    }
}

void TForm1::setFullScreenSwitch(bool on) {
    if (on == m_fullScreenSwitch)
        return;
    if (on) {
        m_savedBorder = m_borderStyle;
        m_savedMaximized = windowState() & Qt::WindowMaximized;
        m_hasSavedGeometry = windowStateNormal();
        if (m_hasSavedGeometry)
            m_savedGeometry = geometry();
        m_fullScreenSwitch = true;
        m_restoreSize = QSize();
        m_borderStyle = BorderStyle::None;
        applyFrame();
        setWindowState(windowState() | Qt::WindowFullScreen);
        return;
    }
    m_fullScreenSwitch = false;
    m_restoreSize = m_hasSavedGeometry ? m_savedGeometry.size() : QSize();
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    m_borderStyle = m_savedBorder;
    applyFrame();
    if (m_savedMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (m_hasSavedGeometry)
        setGeometry(m_savedGeometry);
}

void TForm1::setBarsVisible(bool visible) {
    ToolBar1->setVisible(visible);
    Rectangle3->setVisible(visible);
}

void TForm1::enterFullScreen() {
    hide->start();
    setFullScreenSwitch(true);
    m_state.setFullScreen(true);
    setWindowStateMaximized();
    setBorderStyle(BorderStyle::None);
}

void TForm1::leaveFullScreenByF11() {
    setBarsVisible(true);
    leaveFullScreenByDblClick();
}

void TForm1::leaveFullScreenByDblClick() {
    hide->stop();
    setFullScreenSwitch(false);
    m_state.setFullScreen(false);
    setWindowStateNormal();
    setBorderStyle(BorderStyle::Sizeable);
}

void TForm1::leaveFullScreenByEsc() {
    setBarsVisible(true);
    hide->stop();
    setFullScreenSwitch(false);
    m_state.setFullScreen(false);
    setWindowStateNormal();
    setBorderStyle(BorderStyle::Single);
}

void TForm1::ToolBar1DblClick() {
    if (m_fullScreenSwitch)
        leaveFullScreenByDblClick();
    else
        enterFullScreen();
}

void TForm1::hideTimer() {
    setBarsVisible(false);
}

void TForm1::FormMouseMove(QPoint pos) {
    // Only the bare band around Panel1 counts: over the video, the strip or
    // the tool bar the window itself is not under the pointer.
    if (!Panel1->geometry().contains(pos))
        setBarsVisible(true);
}

void TForm1::mouseMoveEvent(QMouseEvent *event) {
    FormMouseMove(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    // A double click on an empty part of the tool bar; its buttons and the
    // volume bar take their own.
    if (watched == ToolBar1 && event->type() == QEvent::MouseButtonDblClick)
        RunHandler([this] { ToolBar1DblClick(); });
    return QWidget::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedEntries(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event) {
    const QStringList entries = DroppedEntries(*event->mimeData());
    if (entries.isEmpty())
        return;
    event->acceptProposedAction();
    // Played once the drop is over: the drag source waits for the drop to be
    // taken, and a link may take seconds to load. Only the first entry plays,
    // as with several files given on the command line.
    QMetaObject::invokeMethod(
        this,
        [this, entry = entries.constFirst()] {
            RunHandler([&] { PlayOpenedEntry(m_player, entry); });
        },
        Qt::QueuedConnection);
}

#include "ui/Unit2.h"

#include "app/Lifecycle.h"
#include "app/OpenWith.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "ui/FileDialogs.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

TForm2 *Form2 = nullptr;

PlaylistView::PlaylistView(PlaylistModel &model, QWidget *parent)
    : QListView(parent), m_model(model) {
    setModel(&model);
}

void PlaylistView::mousePressEvent(QMouseEvent *event) {
    m_dragging = false;
    m_pressedRow = -1;
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->position().toPoint();
        m_pressedRow = indexAt(m_pressPos).row();
    }
    QListView::mousePressEvent(event);
}

void PlaylistView::mouseMoveEvent(QMouseEvent *event) {
    if (m_pressedRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        if (!m_dragging && (event->position().toPoint() - m_pressPos).manhattanLength() >=
                               QApplication::startDragDistance()) {
            m_dragging = true;
            viewport()->setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging)
            return;
    }
    QListView::mouseMoveEvent(event);
}

void PlaylistView::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_dragging) {
        QListView::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    viewport()->unsetCursor();
    const int target = indexAt(event->position().toPoint()).row();
    if (target >= 0 && target != m_pressedRow)
        m_model.moveEntry(m_pressedRow, target);
    m_pressedRow = -1;
}

SwitchBox::SwitchBox(const QString &objectName, QWidget *parent) : QCheckBox(parent) {
    setObjectName(objectName);
}

TForm2::TForm2(Player &player) : QWidget(nullptr), m_player(player), m_state(player.state()) {
    setObjectName(QStringLiteral("Form2"));
    // Fixed single frame without title-bar buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(m_state.listCaption());
    setFixedSize(674, 367);
    move(kDesignLeft, kDesignTop);
    buildControls();
    bindState();
    setAcceptDrops(true);
}

void TForm2::buildControls() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    Rectangle1 = new QWidget(this);
    Rectangle1->setObjectName(QStringLiteral("Rectangle1"));
    Rectangle1->setAutoFillBackground(true);
    QPalette black = Rectangle1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Rectangle1->setPalette(black);
    outer->addWidget(Rectangle1);
    auto *r1 = new QVBoxLayout(Rectangle1);
    r1->setContentsMargins(0, 0, 0, 0);

    Panel1 = new QFrame(Rectangle1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    r1->addWidget(Panel1);
    auto *panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(5, 5, 5, 5);
    panel->setSpacing(0);

    ListBox1 = new QWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    panel->addWidget(ListBox1, 1);
    auto *lb = new QVBoxLayout(ListBox1);
    lb->setContentsMargins(0, 0, 0, 0);
    lb->setSpacing(0);
    SearchBox1 = new QLineEdit(ListBox1);
    SearchBox1->setObjectName(QStringLiteral("SearchBox1"));
    SearchBox1->setFixedHeight(27);
    SearchBox1->setText(m_state.list.searchText());
    SearchBox1->setContextMenuPolicy(Qt::NoContextMenu); // forSearch has no items
    QFont searchFont = SearchBox1->font();
    searchFont.setPixelSize(14);
    SearchBox1->setFont(searchFont);
    QPalette gray = SearchBox1->palette();
    gray.setColor(QPalette::Text, QColor(0x90, 0x90, 0x90));
    SearchBox1->setPalette(gray);
    SearchBox1->installEventFilter(this);
    lb->addWidget(SearchBox1);
    ListView = new PlaylistView(m_state.list, ListBox1);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setAlternatingRowColors(true);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setUniformItemSizes(true); // keeps a million rows cheap to lay out
    lb->addWidget(ListView, 1);

    auto *bar = AddToolBar(Panel1, panel, &ToolBar1);

    bApp =
        new StyledButton(QStringLiteral("bApp"), QStringLiteral("addtoolbuttonbordered"), ToolBar1);
    bURL = NewUrlButton(ToolBar1);
    bDel = new StyledButton(QStringLiteral("bDel"), QStringLiteral("deleteitembutton"), ToolBar1);
    Button2 =
        new StyledButton(QStringLiteral("Button2"), QStringLiteral("transparentcirclebuttonstyle"),
                         ToolBar1, QSize(40, 46));
    Button2->setEnabled(false);
    bErase = new StyledButton(QStringLiteral("bErase"), QStringLiteral("trashtoolbuttonbordered"),
                              ToolBar1);
    bExit = new StyledButton(QStringLiteral("bExit"), QStringLiteral("escapetoolbuttonbordered"),
                             ToolBar1);
    Button1 =
        new StyledButton(QStringLiteral("Button1"), QStringLiteral("transparentcirclebuttonstyle"),
                         ToolBar1, QSize(40, 46));
    Button1->setEnabled(false);
    sep = new StyledButton(QStringLiteral("sep"), QStringLiteral("transparentcirclebuttonstyle"),
                           ToolBar1, QSize(40, 46));
    sep->setEnabled(false);
    cShuffle = new SwitchBox(QStringLiteral("cShuffle"), ToolBar1);
    cShuffle->setFixedSize(154, 46);
    cRepeat = new SwitchBox(QStringLiteral("cRepeat"), ToolBar1);
    cRepeat->setFixedSize(120, 46);

    bar->addWidget(bApp);
    bar->addSpacing(5);
    bar->addWidget(bURL);
    bar->addWidget(bDel);
    bar->addSpacing(5);
    bar->addWidget(Button2);
    bar->addWidget(bErase);
    bar->addStretch(1);
    bar->addWidget(sep);
    bar->addWidget(cRepeat);
    bar->addWidget(cShuffle);
    bar->addWidget(Button1);
    bar->addWidget(bExit);
    bar->addSpacing(5);

    // The captions lie over their switches and let clicks through to them.
    auto caption = [](const QString &name, const QString &text, QWidget *over) {
        auto *l = new QLabel(text, over);
        l->setObjectName(name);
        QFont f = l->font();
        f.setPixelSize(14);
        l->setFont(f);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->move(21, 13);
        return l;
    };
    Label1 = caption(QStringLiteral("Label1"), QStringLiteral("  Перемешивать"), cShuffle);
    Label2 = caption(QStringLiteral("Label2"), QStringLiteral("  Повторять"), cRepeat);
    // Wide enough for the caption in the font in use, never narrower than
    // the layout's 81 x 17.
    Label2->resize(Label2->sizeHint().expandedTo(QSize(81, 17)));

    iiCheck = new QLabel(m_state.iiCheck.text(), ToolBar1);
    iiCheck->setObjectName(QStringLiteral("iiCheck"));
    iiCheck->hide();
}

void TForm2::bindState() {
    connect(&m_state, &PlayerState::listCaptionChanged, this, &QWidget::setWindowTitle);
    connect(&m_state.iiCheck, &IndexLabel::textChanged, iiCheck, &QLabel::setText);

    cRepeat->setChecked(m_state.repeat());
    cShuffle->setChecked(m_state.shuffle());
    connect(&m_state, &PlayerState::repeatChanged, cRepeat, &QCheckBox::setChecked);
    connect(&m_state, &PlayerState::shuffleChanged, cShuffle, &QCheckBox::setChecked);
    connect(cRepeat, &QCheckBox::toggled, &m_state, &PlayerState::setRepeat);
    connect(cShuffle, &QCheckBox::toggled, &m_state, &PlayerState::setShuffle);

    // The search box text is the filter; the model keeps it.
    connect(SearchBox1, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_state.list.setSearchText(text); });
    connect(&m_state.list, &PlaylistModel::searchTextChanged, this, [this](const QString &text) {
        if (SearchBox1->text() != text)
            SearchBox1->setText(text);
    });

    // The selected row lives in the model; the view shows it.
    connect(&m_state.list, &PlaylistModel::itemIndexChanged, this, [this](int row) {
        m_syncingSelection = true;
        if (row < 0) {
            ListView->selectionModel()->clearSelection();
            ListView->selectionModel()->clearCurrentIndex();
        } else {
            const QModelIndex index = m_state.list.index(row);
            ListView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            ListView->scrollTo(index);
        }
        m_syncingSelection = false;
    });
    connect(ListView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncingSelection)
                    m_state.list.setItemIndex(current.isValid() ? current.row() : -1);
            });

    auto bind = [this](StyledButton *b, void (TForm2::*handler)()) {
        connect(b, &QToolButton::clicked, this,
                [this, handler] { RunHandler([&] { (this->*handler)(); }); });
    };
    bind(bExit, &TForm2::bExitClick);
    connect(ListView, &QAbstractItemView::doubleClicked, this,
            [this] { RunHandler([this] { ListBox1DblClick(); }); });
    bind(bApp, &TForm2::bAppClick);
    bind(bURL, &TForm2::bURLClick);
    bind(bDel, &TForm2::bDelClick);
    bind(bErase, &TForm2::bEraseClick);
}

void TForm2::moveBeforeShow(int left, int top) {
    if (!m_shownOnce && (left != x() || top != y()))
        m_movedBeforeShow = true;
    move(left, top);
}

void TForm2::setTop(int top) {
    moveBeforeShow(x(), top);
}
void TForm2::setLeft(int left) {
    moveBeforeShow(left, y());
}

void TForm2::showEvent(QShowEvent *event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (!m_movedBeforeShow && Form1) {
            // Centred over the main window at its first showing.
            const QRect main = Form1->frameGeometry();
            const QRect mine = frameGeometry();
            move(main.center() - QPoint(mine.width() / 2, mine.height() / 2));
        }
    }
    QWidget::showEvent(event);
}

void TForm2::closeEvent(QCloseEvent *event) {
    // Closing only hides the window; an error abandons the close.
    if (RunHandler([this] { FormClose(); }))
        event->accept();
    else
        event->ignore();
}

void TForm2::FormClose() {
    PlaylistWindowClose();
}

void TForm2::bExitClick() {
    m_state.list.setSearchText(QString());
    realignContent();
    setVisible(false);
    PlaylistWindowExit();
}

void TForm2::bAppClick() {
    const QStringList files = ChooseMediaFiles(this);
    m_state.list.append(files);
}

void TForm2::bURLClick() {
    Form4->Button1->setStyleLookup(QStringLiteral("addtoolbuttonbordered"));
    Form4->setWindowTitle(QStringLiteral("Добавить ссылку"));
    Form4->Label1->setText(QStringLiteral("Ссылка"));
    Form4->showWindow();
}

void TForm2::bDelClick() {
    if (!AppDialogs().confirm(QStringLiteral("Удалить ?")))
        return;
    PlaylistModel &list = m_state.list;
    m_state.iiCheck.setIndex(list.count() - 2);
    list.deleteRow(list.itemIndex());
}

void TForm2::bEraseClick() {
    if (m_state.list.count() == 0)
        return;
    if (!AppDialogs().confirm(QStringLiteral("Очистить список?")))
        return;
    m_state.list.clearRows();
}

void TForm2::ListBox1DblClick() {
    m_player.PlaySelectedRow();
}

void TForm2::SearchBox1Click() {
    if (m_state.list.searchText() == kSearchPlaceholder)
        m_state.list.setSearchText(QString());
}

void TForm2::realignContent() {
    ListView->doItemsLayout();
}

bool TForm2::eventFilter(QObject *watched, QEvent *event) {
    if (watched == SearchBox1 && event->type() == QEvent::MouseButtonPress)
        RunHandler([this] { SearchBox1Click(); });
    return QWidget::eventFilter(watched, event);
}

void TForm2::keyPressEvent(QKeyEvent *event) {
    FormKeyDown(event->key());
    QWidget::keyPressEvent(event);
}

void TForm2::FormKeyDown(int key) {
    if (key == Qt::Key_Escape) {
        m_state.list.setSearchText(kSearchPlaceholder);
        realignContent();
        if (m_state.fullScreen())
            close();
    }
    if (key == Qt::Key_F12)
        RunHandler([] { Form1->bListClick(); });
}

void TForm2::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedEntries(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm2::dropEvent(QDropEvent *event) {
    const QStringList entries = DroppedEntries(*event->mimeData());
    if (entries.isEmpty())
        return;
    event->acceptProposedAction();
    RunHandler([&] { m_state.list.append(entries); });
}

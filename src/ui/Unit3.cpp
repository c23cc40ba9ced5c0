#include "ui/Unit3.h"

#include "ui/StyledButton.h"
#include "ui/Unit1.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSysInfo>
#include <QUrl>
#include <algorithm>

TForm3 *Form3 = nullptr;

namespace {
const QString kMakerPage = QStringLiteral("http://velpa.example.org");
}

TForm3::TForm3() : QWidget(nullptr) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Информация"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(468, 228);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(5, 5, 458, 218);
    // Without a frame of its own, a thin line keeps the window from melting
    // into the one behind it.
    setStyleSheet(QStringLiteral("TForm3 { border: 1px solid #4a4a4a; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto label = [this](const QString &name, const QString &text, QRect geometry) {
        auto *l = new QLabel(text, Panel1);
        l->setObjectName(name);
        QFont f = l->font();
        f.setPixelSize(13);
        l->setFont(f);
        l->setGeometry(geometry);
        return l;
    };
    Label1 = label(QStringLiteral("Label1"),
                   QStringLiteral("\"Велпа.Плеер для Windows\" версия продукта 1.0.8.4"),
                   QRect(72, 8, 345, 41));
    Label1->setWordWrap(true);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("Сделано в мастерской Велпа:"),
                   QRect(48, 48, 273, 17));
    veksoURL = label(QStringLiteral("veksoURL"), kMakerPage, QRect(320, 48, 97, 17));
    // The whole address shows: the label grows to fit it and moves left as
    // far as it must to stay inside the panel.
    veksoURL->resize(veksoURL->sizeHint().expandedTo(QSize(97, 17)));
    veksoURL->move(std::min(320, Panel1->width() - 9 - veksoURL->width()), 48);
    QPalette blue = veksoURL->palette();
    blue.setColor(QPalette::WindowText, QColor(0x1e, 0x90, 0xff)); // dodger blue
    veksoURL->setPalette(blue);
    veksoURL->setCursor(Qt::PointingHandCursor);
    veksoURL->installEventFilter(this);

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    // Narrower than the layout's 457 pixels so that the exit button, which
    // the layout places over its corner, sits beside it in the panel.
    Memo1->setGeometry(9, 80, 390, 121);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setContextMenuPolicy(Qt::NoContextMenu); // PopupMenu1 has no items

    bExit = new StyledButton(QStringLiteral("bExit"), QStringLiteral("escapetoolbuttonbordered"),
                             Panel1);
    bExit->move(407, 167); // inside the panel, unlike the layout's (420, 205)
    connect(bExit, &QToolButton::clicked, this, [this] { bExitClick(); });
}

void TForm3::showEvent(QShowEvent *event) {
    if (!m_shownOnce && Form1) {
        m_shownOnce = true;
        move(Form1->frameGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
    FormShow();
}

void TForm3::FormShow() {
    const QString description = SystemDescription();
    QFont f = veksoURL->font();
    f.setUnderline(true);
    veksoURL->setFont(f);
    Memo1->clear();
    Memo1->setPlainText(QStringLiteral("\n  Работает под: ") + description + QStringLiteral("\n"));
}

void TForm3::veksoURLClick() {
    QDesktopServices::openUrl(QUrl(veksoURL->text()));
}

bool TForm3::eventFilter(QObject *watched, QEvent *event) {
    if (watched == veksoURL && event->type() == QEvent::MouseButtonRelease)
        veksoURLClick();
    return QWidget::eventFilter(watched, event);
}

QString SystemDescription() {
    const QString edition = QSysInfo::WordSize == 64 ? QStringLiteral("64-bit Edition")
                                                     : QStringLiteral("32-bit Edition");
    return QStringLiteral("%1 (Version %2, Kernel %3 %4, %5)")
        .arg(QSysInfo::prettyProductName(), QSysInfo::productVersion(), QSysInfo::kernelType(),
             QSysInfo::kernelVersion(), edition);
}

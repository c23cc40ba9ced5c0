#include "ui/StyledButton.h"

#include "ui/StyleIcons.h"

#include <QHBoxLayout>
#include <QKeyEvent>

StyledButton::StyledButton(const QString &objectName, const QString &styleLookup, QWidget *parent,
                           QSize size)
    : QToolButton(parent) {
    setObjectName(objectName);
    setFixedSize(size);
    setIconSize(size);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setStyleLookup(styleLookup);
}

void StyledButton::setStyleLookup(const QString &name) {
    m_styleLookup = name;
    setIcon(StyleIcon(name));
}

void StyledButton::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space) {
        event->ignore();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void StyledButton::keyReleaseEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space) {
        event->ignore();
        return;
    }
    QToolButton::keyReleaseEvent(event);
}

QHBoxLayout *AddToolBar(QWidget *panel, QBoxLayout *panelLayout, QWidget **toolBar) {
    auto *bar = new QWidget(panel);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setFixedHeight(46);
    panelLayout->addWidget(bar);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    *toolBar = bar;
    return row;
}

StyledButton *NewUrlButton(QWidget *toolBar) {
    auto *b = new StyledButton(QStringLiteral("bURL"), QStringLiteral("donetoolbutton"), toolBar);
    b->setText(QStringLiteral("URL"));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

#include "ui/StyledButton.h"

#include "ui/StyleIcons.h"

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

#pragma once

#include <QToolButton>

// A tool-bar button whose look is chosen by a style lookup name: the name
// picks the icon, and some commands keep their state in it.
class StyledButton : public QToolButton {
    Q_OBJECT
public:
    StyledButton(const QString &objectName, const QString &styleLookup, QWidget *parent,
                 QSize size = QSize(46, 46));

    const QString &styleLookup() const { return m_styleLookup; }
    void setStyleLookup(const QString &name);

    // The hint, shown as the tooltip.
    QString hint() const { return toolTip(); }
    void setHint(const QString &text) { setToolTip(text); }

private:
    QString m_styleLookup;
};

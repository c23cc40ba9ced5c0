#pragma once

#include <QToolButton>

class QBoxLayout;
class QHBoxLayout;

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

protected:
    // Space belongs to the window (pause and resume), not to the focused
    // button; the button passes it on.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QString m_styleLookup;
};

// A tool bar 46 pixels high at the bottom of a panel's layout, and the row
// its buttons go into, edge to edge.
QHBoxLayout *AddToolBar(QWidget *panel, QBoxLayout *panelLayout, QWidget **toolBar);

// The "URL" button both tool bars carry: its own gray text, no icon.
StyledButton *NewUrlButton(QWidget *toolBar);

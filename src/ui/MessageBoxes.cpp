#include "playback/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QWidget *Owner() {
    return QApplication::activeWindow();
}

const QString kBoxTitle = QStringLiteral("Велпа.Плеер");

class MessageBoxes final : public Dialogs {
public:
    void information(const QString &text) override {
        QMessageBox::information(Owner(), kBoxTitle, text, QMessageBox::Yes, QMessageBox::Yes);
    }
    bool confirm(const QString &text) override {
        return QMessageBox::question(Owner(), kBoxTitle, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    void error(const QString &text) override {
        QMessageBox::critical(Owner(), kBoxTitle, text, QMessageBox::Yes, QMessageBox::Yes);
    }
    void report(const QString &text) override { QMessageBox::critical(Owner(), kBoxTitle, text); }
};

} // namespace

Dialogs &DefaultDialogs() {
    static MessageBoxes boxes;
    return boxes;
}

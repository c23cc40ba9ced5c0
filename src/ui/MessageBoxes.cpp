#include "playback/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

QWidget *Owner() {
    return QApplication::activeWindow();
}

// On a platform that shows nothing (offscreen, minimal) a box would wait
// forever for an answer nobody can give: a failed start-up would never end.
// There the text goes to standard error and the box takes its default answer.
bool NobodySeesBoxes() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void ToStandardError(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

const QString kBoxTitle = QStringLiteral("Велпа.Плеер");

class MessageBoxes final : public Dialogs {
public:
    void information(const QString &text) override {
        if (NobodySeesBoxes())
            return ToStandardError(text);
        QMessageBox::information(Owner(), kBoxTitle, text, QMessageBox::Yes, QMessageBox::Yes);
    }
    bool confirm(const QString &text) override {
        if (NobodySeesBoxes()) {
            ToStandardError(text);
            return false; // No is the default
        }
        return QMessageBox::question(Owner(), kBoxTitle, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    void error(const QString &text) override {
        if (NobodySeesBoxes())
            return ToStandardError(text);
        QMessageBox::critical(Owner(), kBoxTitle, text, QMessageBox::Yes, QMessageBox::Yes);
    }
    // Errors also go to standard error, for a player started from a terminal.
    void report(const QString &text) override {
        ToStandardError(text);
        if (!NobodySeesBoxes())
            QMessageBox::critical(Owner(), kBoxTitle, text);
    }
};

} // namespace

Dialogs &DefaultDialogs() {
    static MessageBoxes boxes;
    return boxes;
}

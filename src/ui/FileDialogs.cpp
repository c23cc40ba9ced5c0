#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>

namespace {

// The masks inside a filter's brackets, separated by ";".
QStringList MasksOf(const QString &filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {QStringLiteral("*")};
    return filter.mid(open + 1, close - open - 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Qt's dialogs split a filter's masks at blanks only; ours are separated by
// ";" as the shown texts say. The dialog is built here so that it shows these
// texts and still filters by every mask of the chosen one.
void SetUpMediaDialog(QFileDialog &dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(MediaFileFilters());
    auto apply = [&dialog](const QString &filter) {
        if (auto *model = dialog.findChild<QFileSystemModel *>())
            model->setNameFilters(MasksOf(filter));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, apply);
    apply(MediaFileFilters().constFirst());
}

class RealFileDialogs final : public FileDialogs {
public:
    QStringList chooseFiles(QWidget *parent) override {
        QFileDialog dialog(parent);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        SetUpMediaDialog(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles();
    }
    QString chooseFile(QWidget *parent) override {
        QFileDialog dialog(parent);
        dialog.setFileMode(QFileDialog::ExistingFile);
        SetUpMediaDialog(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

FileDialogs *g_fileDialogs = nullptr;

FileDialogs &Current() {
    static RealFileDialogs real;
    return g_fileDialogs ? *g_fileDialogs : real;
}

} // namespace

QStringList MediaFileFilters() {
    return {
        QStringLiteral("All Files (*.avi;*.wmv;*.mp4;*.m4v;*.mov;*.wma;*.mp3;*.wav)"),
        QStringLiteral("AVI Files (*.avi)"),
        QStringLiteral("Windows Media Video Files (*.wmv)"),
        QStringLiteral("Mpeg4 Files (*.mp4)"),
        QStringLiteral("Mpeg4 Files (*.m4v)"),
        QStringLiteral("QuickTime Files (*.mov)"),
        QStringLiteral("Windows Media Audio Files (*.wma)"),
        QStringLiteral("Mpeg Layer 3 Files (*.mp3)"),
        QStringLiteral("Mpeg Layer 3 Files (*.wav)"),
    };
}

void SetFileDialogs(FileDialogs *dialogs) {
    g_fileDialogs = dialogs;
}

QStringList ChooseMediaFiles(QWidget *parent) {
    return Current().chooseFiles(parent);
}
QString ChooseMediaFile(QWidget *parent) {
    return Current().chooseFile(parent);
}

#pragma once

#include <QStringList>

class QWidget;

// The filter list both open dialogs offer, in order.
QStringList MediaFileFilters();

// The seam through which tests answer the file dialogs.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Several files; an empty list when the user cancels.
    virtual QStringList chooseFiles(QWidget *parent) = 0;
    // One file; empty when the user cancels.
    virtual QString chooseFile(QWidget *parent) = 0;
};

// Installs the dialogs in use (not owned); nullptr restores the real ones.
void SetFileDialogs(FileDialogs *dialogs);

QStringList ChooseMediaFiles(QWidget *parent);
QString ChooseMediaFile(QWidget *parent);

#pragma once

#include "ui/FileDialogs.h"

#include <QStringList>

// File dialogs that answer at once: the files given, as if the user had
// picked them. Install one with SetFileDialogs.
class ScriptedFiles : public FileDialogs {
public:
    QStringList files;
    QStringList chooseFiles(QWidget *) override { return files; }
    QString chooseFile(QWidget *) override { return files.value(0); }
};

// The same for one file; empty: the dialog was cancelled.
class OneFile : public FileDialogs {
public:
    QString file;
    QStringList chooseFiles(QWidget *) override { return {file}; }
    QString chooseFile(QWidget *) override { return file; }
};

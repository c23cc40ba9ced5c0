#pragma once

#include "persistence/ValueText.h"

#include <QChar>
#include <QString>
#include <QtGlobal>

// The controls the settings carry. The initial values are the ones a key that is missing or
// does not convert reads as.
struct SettingsValues {
    int formTop = 248, formLeft = 384; // main window frame position
    int listTop = 242, listLeft = 467; // playlist window frame position
    bool repeat = false, shuffle = false;
    float volume = 0.0f; // volume bar value, kept within 0..1 when read
};

// The settings file "Velpa.Player.settings.ini": created once, on the first run, and from then
// on only updated, never created, by its three writers. Every call builds its own view of the
// file; nothing is cached between them, so a file deleted while the player runs is simply
// no longer written.
namespace Settings {

QString FileName();

// True only for an existing regular file (symbolic links followed).
bool Exists(const QString &path);

struct ReadResult {
    SettingsValues values;
    qint32 last = 0; // List/Last, the entry index to restore
};

// Never fails: a missing file, key or unconvertible value gives that key's default.
ReadResult Read(const QString &path, QChar decimalSeparator = LocaleDecimalSeparator());

// Creates the file empty, then writes every key but List/Last in one save. A failure to create
// throws AppError with the I/O error wording; a failure to write throws
// AppError("Unable to write to <path>").
void WriteFirstRun(const QString &path, const SettingsValues &v,
                   QChar decimalSeparator = LocaleDecimalSeparator());

// The writers below change an existing file only and do nothing when there is none. Each
// writes its keys in a fixed order, which decides where new keys land, and saves once.
void WriteLast(const QString &path, qint32 last);
void WriteMainWindow(const QString &path, const SettingsValues &v, qint32 last,
                     QChar decimalSeparator = LocaleDecimalSeparator());
void WritePlaylistWindow(const QString &path, int listTop, int listLeft, bool repeat, bool shuffle,
                         qint32 last);

} // namespace Settings

#pragma once

#include <QString>
#include <QStringList>

class MediaEngine;

// Creates the shared state and the four windows, once, in the order main
// window, playlist window, information window, link window. Without an
// engine given, the real one is made, with its video view in the main window.
void CreateForms(MediaEngine *engine = nullptr);
// Destroys them again (the program's end; tests build them anew).
void DestroyForms();

// Places the main window at the centre of the screen's work area and shows
// it, which runs the restore sequence. Returns false when the restore
// sequence failed; its error has then been reported.
bool ShowMainForm();

// "Open with": the first of the command-line arguments (the program's name
// excluded), a file or an "http:" link, plays once the event loop runs, as the
// open-file command plays a file; the playlist stays as it is. Later
// arguments are not used. Nothing happens without arguments.
void PlayArgumentsOnceStarted(const QStringList &arguments, const QString &workingDir);

// The main routine: 0 after the main window was closed, 1 when start-up failed.
int RunPlayer(int argc, char **argv);

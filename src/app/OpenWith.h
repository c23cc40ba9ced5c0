#pragma once

#include <QString>
#include <QStringList>

class Player;
class QMimeData;

// How media reach the player from the desktop rather than through its own
// dialogs: a file manager's "Open with", a drop, or a media-control applet.
// Each ends in a command the windows already have, so the desktop adds no
// rules of its own.

// What one command-line argument or URI names, as the player keeps entries:
// an "http:" link as given, a local file as an absolute path (a "file:" URI is
// turned into its path, a relative path is taken from workingDir). Anything
// else with a scheme, such as "https:", is kept as given.
QString EntryFromArgument(const QString &argument, const QString &workingDir);

// The entry the command line asks to play: the first argument (the program's
// name excluded); empty when there is none. Further arguments are not used.
QString OpenWithEntry(const QStringList &arguments, const QString &workingDir);

// The entries a drop carries, in the order the drag source gave them: existing
// regular files and "http:" links. Everything else is left out.
QStringList DroppedEntries(const QMimeData &mime);

// Plays an entry without touching the playlist: a link as the link window
// opens one, an "https:" link refused with the link window's message, a file
// as the open-file command plays the file its dialog gave, a missing file
// reported as a missing playlist entry is. Raises AppError as those do.
void PlayOpenedEntry(Player &player, const QString &entry);

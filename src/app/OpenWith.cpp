#include "app/OpenWith.h"

#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playlist/Playable.h"

#include <QDir>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

namespace {

// A URI's scheme and "//": "a:b.mp3" stays a file name, "smb://host/x" does not.
bool HasUriScheme(const QString &text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(text).hasMatch();
}

} // namespace

QString EntryFromArgument(const QString &argument, const QString &workingDir) {
    if (argument.isEmpty() || IsLink(argument))
        return argument;
    if (argument.startsWith(QLatin1String("file:"))) {
        // File managers pass "file:" URIs for the %U of the desktop entry.
        const QString path = QUrl(argument).toLocalFile();
        return path.isEmpty() ? argument : path;
    }
    if (HasUriScheme(argument) || QDir::isAbsolutePath(argument))
        return argument;
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(argument));
}

QString OpenWithEntry(const QStringList &arguments, const QString &workingDir) {
    if (arguments.isEmpty())
        return {};
    return EntryFromArgument(arguments.constFirst(), workingDir);
}

QStringList DroppedEntries(const QMimeData &mime) {
    QStringList entries;
    if (mime.hasUrls()) {
        for (const QUrl &url : mime.urls()) {
            if (url.isLocalFile()) {
                const QString path = url.toLocalFile();
                if (FileExists(path))
                    entries << path;
            } else if (const QString link = url.toString(QUrl::FullyEncoded); IsLink(link)) {
                entries << link;
            }
        }
        return entries;
    }
    // A link dragged as selected text comes without a URL list.
    if (mime.hasText()) {
        const QStringList lines = mime.text().split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            if (const QString link = line.trimmed(); IsLink(link))
                entries << link;
        }
    }
    return entries;
}

void PlayOpenedEntry(Player &player, const QString &entry) {
    if (IsLink(entry)) {
        player.OpenLink(entry);
        return;
    }
    // The link window's test and message.
    if (entry.left(5) == QLatin1String("https")) {
        AppDialogs().error(kHttpsRefusedText);
        return;
    }
    if (!FileExists(entry)) {
        AppDialogs().information(MissingFileText(entry));
        return;
    }
    player.OpenFile(entry);
}

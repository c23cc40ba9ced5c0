#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes to a temporary file beside the target, flushes it to disk
// and renames it over the target, so that a crash, a kill or a full disk in
// the middle leaves the previous content whole. The temporary file gets its
// name only once it is complete, so a kill leaves no half-written file
// beside the target either (where the system has nameless files). A symbolic link is followed
// and its target replaced. Returns 0 or the errno of the step that failed.
int WriteFileAtomically(const QString &path, const QByteArray &bytes);

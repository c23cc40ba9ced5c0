#pragma once

#include <QByteArray>
#include <QString>

// Every test runs with a fresh, private HOME (set up by the test main before
// each test), so nothing reaches the real documents folder.
QString TestHome();
QString TestDocuments(); // $HOME/Documents, created

QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);

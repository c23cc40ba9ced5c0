#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Every test runs with a fresh, private HOME (set up by the test main before
// each test), so nothing reaches the real documents folder.
QString TestHome();
QString TestDocuments(); // $HOME/Documents, created

QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}

#pragma once

#include <QString>
#include <QThread>
#include <QtGlobal>

class MediaServerWorker;

// A small HTTP/1.1 file server on 127.0.0.1 for the files of one folder, with
// byte ranges and 404 for anything else. It runs in its own thread: open()
// blocks the GUI thread while mpv fetches from it.
class MediaServer {
public:
    explicit MediaServer(const QString &root);
    ~MediaServer();

    MediaServer(const MediaServer &) = delete;
    MediaServer &operator=(const MediaServer &) = delete;

    quint16 port() const { return m_port; }
    QString url(const QString &path) const;

private:
    QThread m_thread;
    MediaServerWorker *m_worker = nullptr;
    quint16 m_port = 0;
};

// A local port nobody listens on: connecting to it is refused.
quint16 ClosedPort();

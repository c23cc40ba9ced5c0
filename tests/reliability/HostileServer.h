#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 that misbehaves in one way, for the links the
// player is given. It runs in its own thread: open() blocks the GUI thread
// while mpv talks to it.
class HostileServer {
public:
    enum class Behaviour {
        NotFound,    // answers 404
        Silent,      // accepts the connection and never answers
        Garbage,     // answers with bytes that are no HTTP at all
        GarbageBody, // answers 200 with random bytes for a body
        CutOff,      // sends the content up to cutAt, then closes the connection
    };

    explicit HostileServer(Behaviour behaviour, QByteArray content = {}, qint64 cutAt = 0);
    ~HostileServer();
    HostileServer(const HostileServer &) = delete;
    HostileServer &operator=(const HostileServer &) = delete;

    QString url(const QString &name) const;
    int connections() const { return m_connections; }

private:
    void run();
    void serve(int fd);

    Behaviour m_behaviour;
    QByteArray m_content;
    qint64 m_cutAt;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::vector<int> m_held; // silent connections, closed at the end
    std::thread m_thread;
};

// A local port nobody listens on: connecting to it is refused.
quint16 RefusingPort();

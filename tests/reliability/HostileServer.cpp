#include "reliability/HostileServer.h"

#include <QRegularExpression>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ListenOnLoopback(quint16 *port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

bool SendAll(int fd, const QByteArray &bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// The request head, up to its blank line; empty when the client gave up.
QByteArray ReadHead(int fd) {
    QByteArray head;
    while (!head.contains("\r\n\r\n") && head.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return {};
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return {};
        head.append(buffer, n);
    }
    return head;
}

// Pseudo-random, but the same every run: truly random bytes could now and
// then look like some format.
QByteArray Noise(qsizetype size) {
    std::mt19937 generator(20240611);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(generator() & 0xFF);
    bytes[0] = '\x01'; // never "HTTP"
    return bytes;
}

} // namespace

HostileServer::HostileServer(Behaviour behaviour, QByteArray content, qint64 cutAt)
    : m_behaviour(behaviour), m_content(std::move(content)), m_cutAt(cutAt) {
    m_listener = ListenOnLoopback(&m_port);
    if (m_listener >= 0)
        m_thread = std::thread([this] { run(); });
}

HostileServer::~HostileServer() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (const int fd : m_held)
        ::close(fd);
    if (m_listener >= 0)
        ::close(m_listener);
}

QString HostileServer::url(const QString &name) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(name);
}

void HostileServer::run() {
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        if (m_behaviour == Behaviour::Silent) {
            m_held.push_back(fd);
            continue;
        }
        serve(fd);
        ::close(fd);
    }
}

void HostileServer::serve(int fd) {
    const QByteArray head = ReadHead(fd);
    if (head.isEmpty())
        return;
    switch (m_behaviour) {
    case Behaviour::Silent:
        return;
    case Behaviour::NotFound:
        SendAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\nConnection: close\r\n\r\n"
                    "Not found\n");
        return;
    case Behaviour::Garbage:
        SendAll(fd, Noise(4096));
        return;
    case Behaviour::GarbageBody: {
        const QByteArray body = Noise(16384);
        SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: video/mp4\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        return;
    }
    case Behaviour::CutOff: {
        // The head promises the whole content (or the range asked for); the
        // bytes stop at the cut.
        static const QRegularExpression range(QStringLiteral("(?im)^range: *bytes=(\\d+)-"));
        const QRegularExpressionMatch match = range.match(QString::fromLatin1(head));
        const qint64 total = m_content.size();
        const qint64 first = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        if (first >= total) {
            SendAll(fd, "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                            QByteArray::number(total) +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        QByteArray reply =
            match.hasMatch() ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
        reply += "Content-Type: audio/wav\r\nAccept-Ranges: bytes\r\nConnection: close\r\n";
        reply += "Content-Length: " + QByteArray::number(total - first) + "\r\n";
        if (match.hasMatch())
            reply += "Content-Range: bytes " + QByteArray::number(first) + '-' +
                     QByteArray::number(total - 1) + '/' + QByteArray::number(total) + "\r\n";
        reply += "\r\n";
        if (first < m_cutAt)
            reply += m_content.mid(first, m_cutAt - first);
        SendAll(fd, reply);
        return;
    }
    }
}

quint16 RefusingPort() {
    quint16 port = 0;
    const int fd = ListenOnLoopback(&port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

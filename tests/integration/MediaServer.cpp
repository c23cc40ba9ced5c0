#include "integration/MediaServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class MediaServerWorker : public QObject {
public:
    explicit MediaServerWorker(const QString &root) : m_root(root) {}

    quint16 listen() {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &MediaServerWorker::accept);
        if (!m_server->listen(QHostAddress::LocalHost, 0))
            return 0;
        return m_server->serverPort();
    }

private:
    void accept() {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_pending.remove(socket);
                socket->deleteLater();
            });
        }
    }

    // Answers every complete request buffered on the connection.
    void serve(QTcpSocket *socket) {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        for (;;) {
            const qsizetype end = pending.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = pending.left(end);
            pending.remove(0, end + 4);
            if (!answer(socket, head)) {
                socket->disconnectFromHost();
                return;
            }
        }
    }

    // Returns whether the connection stays open.
    bool answer(QTcpSocket *socket, const QByteArray &head) {
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        const QByteArray method = request.value(0);
        bool keepAlive = true;
        QByteArray range;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "connection" && value.toLower() == "close")
                keepAlive = false;
            else if (name == "range")
                range = value;
        }

        const QString path = QUrl::fromPercentEncoding(request.value(1).split('?').value(0));
        const QFileInfo file(m_root + path);
        if ((method != "GET" && method != "HEAD") || path.contains(QLatin1String("..")) ||
            !file.isFile()) {
            send(socket, "404 Not Found", {}, "Not found\n", true);
            return keepAlive;
        }

        QFile media(file.filePath());
        if (!media.open(QIODevice::ReadOnly)) {
            send(socket, "404 Not Found", {}, "Not found\n", true);
            return keepAlive;
        }
        const QByteArray content = media.readAll();
        const qint64 total = content.size();
        qint64 first = 0;
        qint64 last = total - 1;
        QByteArray status = "200 OK";
        QByteArray extra;
        static const QRegularExpression bytes(QStringLiteral("^bytes=(\\d*)-(\\d*)$"));
        const QRegularExpressionMatch match = bytes.match(QString::fromLatin1(range));
        if (match.hasMatch()) {
            if (!match.captured(1).isEmpty()) {
                first = match.captured(1).toLongLong();
                if (!match.captured(2).isEmpty())
                    last = std::min(last, match.captured(2).toLongLong());
            } else if (!match.captured(2).isEmpty()) { // the last N bytes
                first = std::max<qint64>(0, total - match.captured(2).toLongLong());
            }
            if (first >= total || first > last) {
                send(socket, "416 Range Not Satisfiable",
                     "Content-Range: bytes */" + QByteArray::number(total) + "\r\n", {}, true);
                return keepAlive;
            }
            status = "206 Partial Content";
            extra = "Content-Range: bytes " + QByteArray::number(first) + '-' +
                    QByteArray::number(last) + '/' + QByteArray::number(total) + "\r\n";
        }
        send(socket, status, "Accept-Ranges: bytes\r\n" + extra,
             content.mid(first, last - first + 1), method == "GET");
        return keepAlive;
    }

    static void send(QTcpSocket *socket, const QByteArray &status, const QByteArray &headers,
                     const QByteArray &body, bool withBody) {
        socket->write("HTTP/1.1 " + status +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nContent-Type: application/octet-stream\r\n" + headers + "\r\n");
        if (withBody)
            socket->write(body);
    }

    QString m_root;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

MediaServer::MediaServer(const QString &root) {
    m_worker = new MediaServerWorker(QDir(root).absolutePath());
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_worker, [this] { return m_worker->listen(); }, Qt::BlockingQueuedConnection, &m_port);
}

MediaServer::~MediaServer() {
    m_thread.quit();
    m_thread.wait();
}

QString MediaServer::url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

quint16 ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

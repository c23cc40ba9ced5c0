#include "desktop/MprisClient.h"

#include "app/Mpris.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QDeadlineTimer>

namespace {

const QString kClientName = QStringLiteral("velpa-test-client");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

MprisClient::MprisClient() {
    QDBusConnection::connectToBus(QDBusConnection::SessionBus, kClientName);
}

MprisClient::~MprisClient() {
    QDBusConnection::disconnectFromBus(kClientName);
}

QDBusConnection MprisClient::connection() const {
    return QDBusConnection(kClientName);
}

QDBusMessage MprisClient::call(const QString &interface, const QString &method,
                               const QVariantList &arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kMprisServiceName, kMprisObjectPath, interface, method);
    message.setArguments(arguments);
    // BlockWithGui keeps this thread's events going, so the player answers.
    return connection().call(message, QDBus::BlockWithGui, 5000);
}

QVariant MprisClient::property(const QString &name, const QString &interface) {
    const QDBusMessage reply =
        call(kProperties, QStringLiteral("Get"),
             {interface.isEmpty() ? kMprisPlayerInterface : interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

QVariantMap MprisClient::allProperties(const QString &interface) {
    const QDBusMessage reply = call(kProperties, QStringLiteral("GetAll"), {interface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

bool MprisClient::setProperty(const QString &name, const QVariant &value) {
    const QDBusMessage reply =
        call(kProperties, QStringLiteral("Set"),
             {kMprisPlayerInterface, name, QVariant::fromValue(QDBusVariant(value))});
    return reply.type() == QDBusMessage::ReplyMessage;
}

QVariantMap MprisClient::metadata() {
    return qdbus_cast<QVariantMap>(property(QStringLiteral("Metadata")));
}

ChangeRecorder::ChangeRecorder(QDBusConnection connection) {
    connection.connect(QString(), kMprisObjectPath, kProperties,
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
}

void ChangeRecorder::propertiesChanged(const QString &interface, const QVariantMap &changed,
                                       const QStringList &) {
    if (interface == kMprisPlayerInterface)
        m_changes << changed;
}

bool ChangeRecorder::waitFor(const QString &property, const QVariant &value) {
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        for (const QVariantMap &change : m_changes) {
            if (change.contains(property) && (!value.isValid() || change.value(property) == value))
                return true;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

QVariant ChangeRecorder::last(const QString &property) const {
    for (auto it = m_changes.crbegin(); it != m_changes.crend(); ++it) {
        if (it->contains(property))
            return it->value(property);
    }
    return {};
}

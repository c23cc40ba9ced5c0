#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QVariant>
#include <QVariantMap>

// The other side of the bus: a connection of its own, as a media-key daemon
// or a desktop applet has. Its calls wait while the player's side, in the
// same thread, answers them.
class MprisClient {
public:
    MprisClient();
    ~MprisClient();
    MprisClient(const MprisClient &) = delete;
    MprisClient &operator=(const MprisClient &) = delete;

    QDBusConnection connection() const;

    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {});
    // A property of the player interface unless another is named.
    QVariant property(const QString &name, const QString &interface = {});
    QVariantMap allProperties(const QString &interface);
    // True when the bus accepted the new value.
    bool setProperty(const QString &name, const QVariant &value);
    QVariantMap metadata();
};

// Records the player interface's PropertiesChanged signals.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    explicit ChangeRecorder(QDBusConnection connection);

    // Waits up to five seconds for an announcement of the property; with a
    // value given, for one with that value.
    bool waitFor(const QString &property, const QVariant &value = {});
    // The last value announced for the property.
    QVariant last(const QString &property) const;

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &invalidated);

private:
    QList<QVariantMap> m_changes;
};

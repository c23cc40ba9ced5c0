#include "integration/IntegrationSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

QString MediaDir() {
    return QStringLiteral(VELPA_TEST_MEDIA_DIR);
}

QString MediaFile(const QString &name) {
    return MediaDir() + u'/' + name;
}

bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents();
        if (condition())
            return true;
        if (timer.elapsed() > timeout.count())
            return false;
        QThread::msleep(5);
    }
}

void ProcessEventsFor(std::chrono::milliseconds time) {
    WaitUntil([] { return false; }, time);
}

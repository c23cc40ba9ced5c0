#include "reliability/ReliabilitySupport.h"

#include "persistence/PlaylistFile.h"
#include "persistence/Settings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <csignal>
#include <malloc.h>
#include <mutex>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <unordered_set>

// Qt's hooks for debugging tools (qhooks_p.h): an array of callbacks, of
// which entries 3 and 4 are called for every QObject made and destroyed.
extern quintptr Q_CORE_EXPORT qtHookData[];

namespace {

int CountEntries(const char *folder) {
    return int(QDir(QString::fromLatin1(folder))
                   .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                   .size());
}

} // namespace

qint64 ResidentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

qint64 HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

int OpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

int Threads() {
    return CountEntries("/proc/self/task");
}

QString SettingsFileOnDisk() {
    return TestDocuments() + u'/' + Settings::FileName();
}

QString PlaylistFileOnDisk() {
    return TestDocuments() + u'/' + PlaylistFile::FileName();
}

DocumentFiles DocumentFiles::read() {
    const auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    return {bytes(SettingsFileOnDisk()), bytes(PlaylistFileOnDisk())};
}

void WriteDocuments(const QStringList &entries, int last) {
    WriteBytes(SettingsFileOnDisk(), "[List]\r\nLast=" + QByteArray::number(last) + "\r\n");
    WriteBytes(PlaylistFileOnDisk(), PlaylistFile::Encode(entries, TextEncoding::Plain));
}

WorkingFolder::WorkingFolder() : m_previous(QDir::currentPath()) {
    QDir::setCurrent(TestHome());
}

WorkingFolder::~WorkingFolder() {
    QDir::setCurrent(m_previous);
}

// --- live objects ----------------------------------------------------------

namespace {

enum HookIndex { kHookDataSize = 1, kAddQObject = 3, kRemoveQObject = 4 };

std::mutex g_liveMutex;
std::unordered_set<const QObject *> *g_live = nullptr;
quintptr g_previousAdd = 0;
quintptr g_previousRemove = 0;

void ObjectAdded(QObject *object) {
    std::lock_guard lock(g_liveMutex);
    if (g_live)
        g_live->insert(object);
}

void ObjectRemoved(QObject *object) {
    std::lock_guard lock(g_liveMutex);
    if (g_live)
        g_live->erase(object);
}

} // namespace

LiveObjects::LiveObjects() {
    std::lock_guard lock(g_liveMutex);
    g_live = new std::unordered_set<const QObject *>;
    g_previousAdd = qtHookData[kAddQObject];
    g_previousRemove = qtHookData[kRemoveQObject];
    if (qtHookData[kHookDataSize] > kRemoveQObject) {
        qtHookData[kAddQObject] = reinterpret_cast<quintptr>(&ObjectAdded);
        qtHookData[kRemoveQObject] = reinterpret_cast<quintptr>(&ObjectRemoved);
    }
}

LiveObjects::~LiveObjects() {
    std::lock_guard lock(g_liveMutex);
    qtHookData[kAddQObject] = g_previousAdd;
    qtHookData[kRemoveQObject] = g_previousRemove;
    delete g_live;
    g_live = nullptr;
}

int LiveObjects::count() const {
    std::lock_guard lock(g_liveMutex);
    return int(g_live->size());
}

QSet<const QObject *> LiveObjects::snapshot() const {
    std::lock_guard lock(g_liveMutex);
    return QSet<const QObject *>(g_live->begin(), g_live->end());
}

QStringList LiveObjects::addedSince(const QSet<const QObject *> &before) const {
    QStringList names;
    std::lock_guard lock(g_liveMutex);
    for (const QObject *object : *g_live) {
        if (!before.contains(object))
            names << QString::fromLatin1(object->metaObject()->className()) + u'/' +
                         object->objectName();
    }
    names.sort();
    return names;
}

QStringList LiveObjects::timers() const {
    QStringList names;
    std::lock_guard lock(g_liveMutex);
    for (const QObject *object : *g_live) {
        if (const auto *timer = qobject_cast<const QTimer *>(object))
            names << timer->objectName() + (timer->isActive() ? QStringLiteral(": active")
                                                              : QStringLiteral(": idle"));
    }
    names.sort();
    return names;
}


// --- disks -----------------------------------------------------------------

SmallDisk::SmallDisk(const QString &folder, qint64 bytes) : m_folder(folder) {
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    m_mounted = ::mount("velpa-test", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

struct FileSizeLimit::Saved {
    rlimit limit{};
    void (*handler)(int) = nullptr;
};

FileSizeLimit::FileSizeLimit(qint64 bytes) : m_saved(std::make_unique<Saved>()) {
    getrlimit(RLIMIT_FSIZE, &m_saved->limit);
    // Without this the kernel ends the process with SIGXFSZ instead of
    // failing the write.
    m_saved->handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = m_saved->limit;
    tight.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &tight);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_saved->limit);
    std::signal(SIGXFSZ, m_saved->handler);
}

QStringList FolderEntries(const QString &folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

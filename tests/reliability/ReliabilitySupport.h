#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

class QObject;

// AddressSanitizer keeps freed memory in quarantine, so the resident size
// says nothing about leaks there; LeakSanitizer checks them at exit instead.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// This process, as the kernel sees it.
qint64 ResidentBytes();
// What the program holds through malloc (glibc's count, all arenas).
qint64 HeapInUse();
int OpenDescriptors();
int Threads();

// The two files in the documents folder, byte for byte; null when missing.
struct DocumentFiles {
    QByteArray settings;
    QByteArray playlist;
    static DocumentFiles read();
    bool operator==(const DocumentFiles &) const = default;
};
QString SettingsFileOnDisk();
QString PlaylistFileOnDisk();

// A settings file that restores row `last`, and the playlist file with the
// entries, as an earlier run left them.
void WriteDocuments(const QStringList &entries, int last);

// Runs the working folder in the test's private HOME while it exists, so
// relative entries are looked up there and anything a name might run
// would land there.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

private:
    QString m_previous;
};

// Every QObject made while this object exists and still alive, through the
// hooks Qt keeps for its debugging tools.
class LiveObjects {
public:
    LiveObjects();
    ~LiveObjects();
    LiveObjects(const LiveObjects &) = delete;
    LiveObjects &operator=(const LiveObjects &) = delete;

    int count() const;
    // Class names of the objects alive now that were not in `before`.
    QStringList addedSince(const QSet<const QObject *> &before) const;
    QSet<const QObject *> snapshot() const;
    // The timers alive now, as "class name/object name: active|idle".
    QStringList timers() const;
};


// A small file system of its own (tmpfs) mounted on a folder for the
// object's lifetime; where mounting is not allowed the folder stays as it is
// and mounted() is false.
class SmallDisk {
public:
    SmallDisk(const QString &folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// Limits the size of files this process writes (RLIMIT_FSIZE, binding even
// for the superuser) while it exists; writes past it fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

// The names in a folder, dot files included.
QStringList FolderEntries(const QString &folder);

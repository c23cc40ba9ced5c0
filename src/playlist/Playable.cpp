#include "playlist/Playable.h"

#include <QFile>
#include <QStringEncoder>
#include <cstring>
#include <sys/stat.h>

bool IsLink(const QString &entry) {
    return entry.startsWith(QLatin1String("http:"));
}

namespace {

bool IsRegularFile(const char *path) {
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

bool FileExists(const QString &path) {
    return !path.isEmpty() && IsRegularFile(QFile::encodeName(path).constData());
}

bool IsLink(const EntryList::View &entry) {
    const QLatin1StringView link("http:");
    return entry.wide ? entry.utf16().startsWith(link) : entry.latin1().startsWith(link);
}

// The file name's bytes are QFile::encodeName's, made on the stack: an ASCII
// entry is its own UTF-8, anything else goes through the same converter.
bool FileExists(const EntryList::View &entry) {
    if (entry.size == 0)
        return false;
    constexpr qsizetype kMaxUnits = 1024;
    if (entry.size > kMaxUnits)
        return FileExists(entry.wide ? entry.utf16().toString() : QString(entry.latin1()));
    char name[3 * kMaxUnits + 1];
    if (!entry.wide) {
        const auto *bytes = static_cast<const unsigned char *>(entry.data);
        unsigned char high = 0;
        for (qsizetype i = 0; i < entry.size; ++i)
            high |= bytes[i];
        if (high < 0x80) {
            std::memcpy(name, bytes, size_t(entry.size));
            name[entry.size] = '\0';
            return IsRegularFile(name);
        }
    }
    char16_t units[kMaxUnits];
    QStringView text = entry.utf16();
    if (!entry.wide) {
        const auto *bytes = static_cast<const unsigned char *>(entry.data);
        for (qsizetype i = 0; i < entry.size; ++i)
            units[i] = bytes[i];
        text = QStringView(units, entry.size);
    }
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    if (encoder.requiredSpace(entry.size) >= qsizetype(sizeof name))
        return FileExists(text.toString());
    char *end = encoder.appendToBuffer(name, text);
    *end = '\0';
    return IsRegularFile(name);
}

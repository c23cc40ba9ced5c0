#include "persistence/Settings.h"

#include "app/Errors.h"
#include "persistence/ProfileFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Settings {
namespace {

const QString kForm = QStringLiteral("Form");
const QString kList = QStringLiteral("List");
const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kRepeat = QStringLiteral("Repeat");
const QString kShuffle = QStringLiteral("Shuffle");
const QString kVolume = QStringLiteral("Volume");
const QString kLast = QStringLiteral("Last");

// The file starts out empty and then receives its keys, as the run-time library's text files
// did, so a folder the player may not create files in is reported with the I/O error wording
// rather than as a failed write.
void CreateEmpty(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        // Creating a file fails with ENOENT only for a missing folder, which Windows calls a
        // path that was not found.
        throw AppError(IoErrorText(err == ENOENT ? ENOTDIR : err));
    }
    // Linux releases the descriptor even when close reports EINTR, so only real errors count.
    if (::close(fd) != 0 && errno != EINTR)
        throw AppError(IoErrorText(errno));
}

void WriteFormPosition(ProfileFile &file, const SettingsValues &v) {
    file.writeString(kForm, kTop, IntegerText(v.formTop));
    file.writeString(kForm, kLeft, IntegerText(v.formLeft));
}

void WriteListState(ProfileFile &file, int listTop, int listLeft, bool repeat, bool shuffle) {
    file.writeString(kList, kTop, IntegerText(listTop));
    file.writeString(kList, kLeft, IntegerText(listLeft));
    file.writeString(kList, kRepeat, BoolText(repeat));
    file.writeString(kList, kShuffle, BoolText(shuffle));
}

void WriteVolume(ProfileFile &file, float volume, QChar decimalSeparator) {
    file.writeString(kList, kVolume, FloatText(double(volume), decimalSeparator));
}

} // namespace

QString FileName() {
    return QStringLiteral("Velpa.Player.settings.ini");
}

bool Exists(const QString &path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

ReadResult Read(const QString &path, QChar decimalSeparator) {
    const ProfileFile file(path);
    const SettingsValues defaults;
    const auto integer = [&file](const QString &section, const QString &key, qint32 def) {
        return ReadIntegerText(file.readString(section, key, QString()), def);
    };
    const auto boolean = [&file](const QString &section, const QString &key, bool def) {
        return ReadBoolText(file.readString(section, key, QString()), def);
    };

    ReadResult result;
    SettingsValues &v = result.values;
    v.formTop = integer(kForm, kTop, defaults.formTop);
    v.formLeft = integer(kForm, kLeft, defaults.formLeft);
    v.listTop = integer(kList, kTop, defaults.listTop);
    v.listLeft = integer(kList, kLeft, defaults.listLeft);
    v.repeat = boolean(kList, kRepeat, defaults.repeat);
    v.shuffle = boolean(kList, kShuffle, defaults.shuffle);
    const double volume = ReadFloatText(file.readString(kList, kVolume, QString()), defaults.volume,
                                        decimalSeparator);
    // The bar holds its value within its range; clamping before narrowing keeps huge values
    // from overflowing the float, and the comparisons turn a negative zero into a plain one.
    v.volume = float(volume > 0.0 ? (volume < 1.0 ? volume : 1.0) : 0.0);
    result.last = integer(kList, kLast, 0);
    return result;
}

void WriteFirstRun(const QString &path, const SettingsValues &v, QChar decimalSeparator) {
    CreateEmpty(path);
    ProfileFile file(path);
    WriteFormPosition(file, v);
    WriteListState(file, v.listTop, v.listLeft, v.repeat, v.shuffle);
    WriteVolume(file, v.volume, decimalSeparator);
    file.save();
}

void WriteLast(const QString &path, qint32 last) {
    if (!Exists(path))
        return;
    ProfileFile file(path);
    file.writeString(kList, kLast, IntegerText(last));
    file.save();
}

void WriteMainWindow(const QString &path, const SettingsValues &v, qint32 last,
                     QChar decimalSeparator) {
    if (!Exists(path))
        return;
    ProfileFile file(path);
    WriteFormPosition(file, v);
    WriteListState(file, v.listTop, v.listLeft, v.repeat, v.shuffle);
    WriteVolume(file, v.volume, decimalSeparator);
    file.writeString(kList, kLast, IntegerText(last));
    file.save();
}

void WritePlaylistWindow(const QString &path, int listTop, int listLeft, bool repeat, bool shuffle,
                         qint32 last) {
    if (!Exists(path))
        return;
    ProfileFile file(path);
    WriteListState(file, listTop, listLeft, repeat, shuffle);
    file.writeString(kList, kLast, IntegerText(last));
    file.save();
}

} // namespace Settings

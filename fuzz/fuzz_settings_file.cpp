// The settings file: whatever lies on disk (edited by hand, written by an
// older version, damaged), reading it never fails and keeps the volume in the
// bar's range, and the values the two windows write read back unchanged.
#include "FuzzCheck.h"
#include "persistence/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_folder;
QString g_path;

// Separators locales really use; a digit or a sign as one would make numbers
// ambiguous.
const QChar kSeparators[] = {u'.', u',', QChar(0x066B)};

void WriteFile(const QString &path, const std::string &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
}

bool Same(const SettingsValues &a, const SettingsValues &b) {
    return a.formTop == b.formTop && a.formLeft == b.formLeft && a.listTop == b.listTop &&
           a.listLeft == b.listLeft && a.repeat == b.repeat && a.shuffle == b.shuffle &&
           a.volume == b.volume;
}

void ExpectRead(const QString &path, QChar separator, const SettingsValues &values, qint32 last) {
    const Settings::ReadResult read = Settings::Read(path, separator);
    if (!Same(read.values, values) || read.last != last) {
        const SettingsValues &r = read.values;
        std::fprintf(stderr,
                     "read  %d %d %d %d %d %d %.9g last %d\n"
                     "wrote %d %d %d %d %d %d %.9g last %d\n",
                     r.formTop, r.formLeft, r.listTop, r.listLeft, r.repeat, r.shuffle,
                     double(r.volume), read.last, values.formTop, values.formLeft, values.listTop,
                     values.listLeft, values.repeat, values.shuffle, double(values.volume), last);
        FuzzFail("the values written read back", __FILE__, __LINE__);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // Every run writes the file twice and syncs it; memory-backed storage
    // keeps that fast where there is some.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/velpa-fuzz-XXXXXX"));
    FUZZ_CHECK(g_folder->isValid());
    g_path = g_folder->filePath(Settings::FileName());
    std::atexit([] { g_folder.reset(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QChar separator = kSeparators[in.ConsumeIntegralInRange<size_t>(0, 2)];
    SettingsValues main;
    main.formTop = in.ConsumeIntegral<int>();
    main.formLeft = in.ConsumeIntegral<int>();
    main.listTop = in.ConsumeIntegral<int>();
    main.listLeft = in.ConsumeIntegral<int>();
    main.repeat = in.ConsumeBool();
    main.shuffle = in.ConsumeBool();
    main.volume = in.ConsumeProbability<float>();
    const qint32 mainLast = in.ConsumeIntegral<qint32>();
    SettingsValues list = main;
    list.listTop = in.ConsumeIntegral<int>();
    list.listLeft = in.ConsumeIntegral<int>();
    list.repeat = in.ConsumeBool();
    list.shuffle = in.ConsumeBool();
    const qint32 listLast = in.ConsumeIntegral<qint32>();
    WriteFile(g_path, in.ConsumeRemainingBytesAsString());

    const Settings::ReadResult read = Settings::Read(g_path, separator);
    FUZZ_CHECK(read.values.volume >= 0.0f && read.values.volume <= 1.0f);
    FUZZ_CHECK(!std::signbit(read.values.volume));

    // Closing the main window writes all its keys; closing the playlist
    // window then writes its own and leaves the rest alone.
    Settings::WriteMainWindow(g_path, main, mainLast, separator);
    ExpectRead(g_path, separator, main, mainLast);
    Settings::WritePlaylistWindow(g_path, list.listTop, list.listLeft, list.repeat, list.shuffle,
                                  listLast);
    ExpectRead(g_path, separator, list, listLast);
    return 0;
}

// The code that grows with the playlist, timed over lists of 100,000 and
// 1,000,000 entries: loading and saving the playlist file, one keystroke in
// the search box with the playlist window open, the forward search over
// missing files, the restore sequence, and the 100 ms tick.
#include "Playlists.h"

#include "app/Application.h"
#include "app/Lifecycle.h"
#include "persistence/PlaylistFile.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playlist/IndexLabel.h"
#include "playlist/PlaylistModel.h"
#include "playlist/Searches.h"
#include "support/FakeEngine.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

QString Documents() {
    const QString docs = QDir::homePath() + QStringLiteral("/Documents");
    QDir().mkpath(docs);
    return docs;
}

TextEncoding EncodingArg(int64_t a) {
    return a == 16 ? TextEncoding::Utf16LE : TextEncoding::Plain;
}

// Playlist files are written once per shape and reused by every benchmark.
QString PlaylistFileFor(int count, TextEncoding encoding) {
    static std::map<std::pair<int, int>, QString> files;
    const auto key = std::make_pair(count, int(encoding));
    auto it = files.find(key);
    if (it != files.end())
        return it->second;
    const QString path = QStringLiteral("%1/list-%2-%3.ini")
                             .arg(QDir::homePath())
                             .arg(count)
                             .arg(encoding == TextEncoding::Plain ? "utf8" : "utf16");
    PlaylistFile::Save(path, MakeEntries(count), encoding);
    return files[key] = path;
}

// As the restore sequence loads the playlist.
void LoadInto(PlaylistModel &list, const QString &path) {
    PlaylistFile::DecodedList file = PlaylistFile::LoadList(path);
    list.setEntryList(std::move(file.entries), file.encoding);
}

// The windows over a fake engine, built once: the restore sequence, the save
// and the search box need them.
struct Windows {
    FakeEngine engine;
    Windows() {
        CreateForms(&engine);
        Form1->show();
        QCoreApplication::processEvents();
    }
    ~Windows() { DestroyForms(); }
    PlayerState &state() { return Form1->state(); }
};

Windows &TheWindows() {
    static Windows windows;
    return windows;
}

void InstallPlaylist(int count) {
    const QString target = PlaylistPath();
    QFile::remove(target);
    QFile::copy(PlaylistFileFor(count, TextEncoding::Plain), target);
}

void BM_LoadPlaylist(benchmark::State &st) {
    const QString path = PlaylistFileFor(int(st.range(1)), EncodingArg(st.range(0)));
    PlaylistModel list;
    for (auto _ : st) {
        LoadInto(list, path);
        benchmark::DoNotOptimize(list.count());
    }
    st.counters["entries"] = double(list.count());
}
BENCHMARK(BM_LoadPlaylist)
    ->ArgNames({"utf", "entries"})
    ->Args({8, 100'000})
    ->Args({8, 1'000'000})
    ->Args({16, 100'000})
    ->Args({16, 1'000'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The playlist window's exit button: its settings, then the whole list
// written through a temporary file, flushed to the disk and renamed.
void BM_SavePlaylist(benchmark::State &st) {
    Windows &w = TheWindows();
    const int count = int(st.range(1));
    LoadInto(w.state().list, PlaylistFileFor(count, EncodingArg(st.range(0))));
    w.state().list.setSearchText(QString());
    for (auto _ : st)
        PlaylistWindowExit();
    w.state().list.setSearchText(kSearchPlaceholder);
}
BENCHMARK(BM_SavePlaylist)
    ->ArgNames({"utf", "entries"})
    ->Args({8, 1'000'000})
    ->Args({16, 1'000'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One keystroke in the search box of the open playlist window, until the
// view has laid out the new rows. The user types "love" into the cleared
// box: the first key filters the whole list, a further key and a backspace
// narrow or widen a filter in effect, the last backspace ends the search.
struct Keystroke {
    const char *before;
    const char *after;
};
const Keystroke kKeystrokes[] = {{"", "l"}, {"lov", "love"}, {"love", "lov"}, {"l", ""}};

void BM_SearchKeystroke(benchmark::State &st) {
    Windows &w = TheWindows();
    const Keystroke key = kKeystrokes[st.range(0)];
    LoadInto(w.state().list, PlaylistFileFor(int(st.range(1)), TextEncoding::Plain));
    Form2->show();
    QCoreApplication::processEvents();
    QLineEdit *box = Form2->SearchBox1;
    for (auto _ : st) {
        st.PauseTiming();
        box->setText(QString::fromLatin1(key.before));
        QCoreApplication::processEvents();
        st.ResumeTiming();
        box->setText(QString::fromLatin1(key.after));
        QCoreApplication::processEvents();
    }
    st.counters["rows"] = double(w.state().list.count());
    Form2->hide();
    w.state().list.setSearchText(kSearchPlaceholder);
    QCoreApplication::processEvents();
}
BENCHMARK(BM_SearchKeystroke)
    ->ArgNames({"key", "entries"})
    ->Args({0, 1'000'000})
    ->Args({1, 1'000'000})
    ->Args({2, 1'000'000})
    ->Args({3, 1'000'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Next over entries whose files are gone: the folder they lived in is still
// there, the files are not, so every entry costs one file-system query.
void BM_NextOverMissing(benchmark::State &st) {
    const int count = int(st.range(0));
    const QString root = QDir::homePath() + QStringLiteral("/missing");
    QDir().mkpath(root + QStringLiteral("/Music"));
    QStringList entries;
    for (const QString &e : MakeEntries(count, root))
        entries << (e.startsWith(QLatin1String("http:")) ? root + QStringLiteral("/Music/gone.mp3")
                                                         : e);
    PlaylistModel list;
    list.setEntries(entries, TextEncoding::Plain);
    IndexLabel nextRL(QStringLiteral("nextRL"));
    for (auto _ : st)
        benchmark::DoNotOptimize(FindPlayableForward(list, nextRL, 0, list.count()));
}
BENCHMARK(BM_NextOverMissing)
    ->ArgName("entries")
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The restore sequence at start-up: settings, the playlist, the stored row.
void BM_RestoreSequence(benchmark::State &st) {
    Windows &w = TheWindows();
    InstallPlaylist(int(st.range(0)));
    for (auto _ : st) {
        Form1->FormShow();
        benchmark::DoNotOptimize(w.state().list.count());
    }
    st.counters["entries"] = double(w.state().list.count());
}
BENCHMARK(BM_RestoreSequence)
    ->ArgName("entries")
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The 100 ms tick while an entry is paused, the windows showing.
void BM_TickPaused(benchmark::State &st) {
    Windows &w = TheWindows();
    w.engine.open(QStringLiteral("clip.mp4"));
    w.engine.advanceTo(50'000'000);
    w.engine.stop();
    for (auto _ : st) {
        Form1->Timer1Timer();
        QCoreApplication::processEvents();
    }
    w.engine.clear();
}
BENCHMARK(BM_TickPaused)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    // A private HOME: the benchmarks write the player's files into its
    // documents folder.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/velpa-bench-XXXXXX"));
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Documents();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (Form1)
        DestroyForms();
    return 0;
}

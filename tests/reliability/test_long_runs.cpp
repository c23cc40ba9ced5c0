// Long runs: many commands, many starts. Memory stays where it was after a
// warm-up, and no object, timer, thread, descriptor or engine outlives what
// made it.
#include "app/Application.h"
#include "engine/MpvEngine.h"
#include "playback/PlayerState.h"
#include "reliability/ReliabilitySupport.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"
#include "ui/StyledButton.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPixmapCache>
#include <QThread>
#include <QThreadPool>
#include <QWidget>
#include <gtest/gtest.h>
#include <malloc.h>

namespace {

std::string Lines(const QStringList &lines) {
    return lines.join(u'\n').toStdString();
}

void Settle() {
    // Deferred deletions and zero-time timers run now.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    // Qt scales and converts large images on its global thread pool, whose
    // idle threads live on for half a minute; they end now.
    QThreadPool::globalInstance()->waitForDone();
    // The style keeps pictures of every new window's controls in Qt's pixmap
    // cache, keyed by each window's palette and so never used again; the
    // cache holds up to 10 MiB and then drops the oldest. A player makes its
    // windows once, so only what it holds beyond that cache is measured.
    QPixmapCache::clear();
    // Freed memory goes back to the system, so the resident size counts
    // what is held.
    malloc_trim(0);
}

struct Memory {
    qint64 resident = ResidentBytes();
    qint64 heap = HeapInUse();
};

// A figure once it has held still for half a second: some of mpv's worker
// threads are detached and end on their own shortly after the engine.
int Settled(int (*figure)()) {
    int value = figure();
    int still = 0;
    for (int i = 0; i < 50 && still < 5; ++i) {
        QThread::msleep(100);
        const int now = figure();
        still = now == value ? still + 1 : 0;
        value = now;
    }
    return value;
}

// Qt's gesture manager, one for the whole program, keeps the last pan
// gestures of destroyed list views for reuse; there are never more than a
// couple.
QStringList WithoutGestureCache(QStringList names) {
    names.removeIf([](const QString &name) { return name.startsWith(u"QPanGesture/"); });
    return names;
}

// Growth allowed over the measured stretch, of what the program holds
// through malloc and of the resident size. Caches fill during the warm-up;
// a kilobyte more per command or start goes past these. The resident size
// has more room: glibc keeps a heap per thread that ran, and mpv's threads
// come and go with every engine.
constexpr qint64 kHeapBound = 1024 * 1024;
constexpr qint64 kResidentBound = 8 * 1024 * 1024;

// Growth of both, checked where the figures mean something.
void ExpectBoundedGrowth(const Memory &before) {
    const Memory after;
    const qint64 heap = after.heap - before.heap;
    const qint64 resident = after.resident - before.resident;
    ::testing::Test::RecordProperty("heap_growth_kib", int(heap / 1024));
    ::testing::Test::RecordProperty("resident_growth_kib", int(resident / 1024));
    if (kAddressSanitizer)
        return;
    EXPECT_LT(heap, kHeapBound) << heap / 1024 << " KiB more held";
    EXPECT_LT(resident, kResidentBound) << resident / 1024 << " KiB more resident";
}

TEST(LongRuns, TenThousandNextCommands) {
    FakeDialogs dialogs;
    FakeEngine engine;
    QStringList entries;
    for (int i = 0; i < 5; ++i) {
        entries << TestDocuments() + QStringLiteral("/%1.mp3").arg(i);
        WriteBytes(entries.last(), "x");
    }
    WriteDocuments(entries, 0);
    WriteBytes(TestDocuments() + QStringLiteral("/Velpa.Player.settings.ini"),
               "[List]\r\nRepeat=1\r\nLast=0\r\n");
    LiveObjects live;
    CreateForms(&engine);
    ASSERT_TRUE(ShowMainForm());

    const auto next = [&engine](int times) {
        for (int i = 0; i < times; ++i) {
            Form1->bNext->click();
            if (i % 100 == 0) {
                QCoreApplication::processEvents();
                engine.calls.clear(); // the fake's own record of the calls
            }
        }
        Settle();
    };
    next(1000);
    const Memory memory;
    const QSet<const QObject *> objects = live.snapshot();
    const QStringList timers = live.timers();
    next(9000);

    // Every command moved one entry on, round the list.
    EXPECT_EQ(Form1->state().iiCheck.text(), "0");
    EXPECT_EQ(engine.fileName(), entries.first());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << Lines(dialogs.shown);
    EXPECT_EQ(live.addedSince(objects), QStringList()) << "objects made and kept";
    EXPECT_EQ(live.count(), objects.size()) << "objects gone";
    EXPECT_EQ(live.timers(), timers);
    ExpectBoundedGrowth(memory);
    DestroyForms();
}

// Each start is what running the player does: the windows, the restore
// sequence, the play button on the restored entry, the close.
TEST(LongRuns, ThreeHundredStartsWithTheRealEngine) {
    // glibc gives threads that allocate heaps of their own, up to 16 here,
    // which stay mapped and resident once touched; mpv's threads, new with
    // every engine, land on ever more of them. With one heap the resident
    // size shows what the program holds.
    mallopt(M_ARENA_MAX, 1);
    FakeDialogs dialogs;
    WriteDocuments({QStringLiteral(VELPA_TEST_MEDIA_DIR "/tone.wav")}, 0);
    const QString settings = TestDocuments() + QStringLiteral("/Velpa.Player.settings.ini");
    LiveObjects live;

    const auto run = [&](int starts) {
        for (int i = 0; i < starts; ++i) {
            MpvEngine engine(MpvEngine::Options{.nullOutputs = true});
            CreateForms(&engine);
            // The video view goes in as the player puts its own there (which
            // needs OpenGL, missing on this platform).
            Form1->setVideoView(new QWidget);
            ASSERT_TRUE(ShowMainForm());
            Form1->bPause->click();
            ASSERT_TRUE(engine.hasMedia()) << Lines(dialogs.shown);
            QCoreApplication::processEvents();
            ASSERT_TRUE(Form1->close());
            DestroyForms();
        }
        Settle();
    };
    run(50);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const Memory memory;
    const int descriptors = Settled(OpenDescriptors);
    const int threads = Settled(Threads);
    const QSet<const QObject *> objects = live.snapshot();
    run(250);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    EXPECT_TRUE(dialogs.shown.isEmpty()) << Lines(dialogs.shown);
    EXPECT_EQ(WithoutGestureCache(live.addedSince(objects)), QStringList())
        << "objects made and kept";
    EXPECT_EQ(live.timers(), QStringList());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_EQ(Settled(OpenDescriptors), descriptors);
    // mpv's threads end with its handle; more threads would be handles kept.
    EXPECT_EQ(Settled(Threads), threads);
    ExpectBoundedGrowth(memory);
    EXPECT_TRUE(ReadBytes(settings).contains("Last=0"));
}

} // namespace

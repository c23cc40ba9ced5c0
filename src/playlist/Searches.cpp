#include "playlist/Searches.h"

#include "playlist/IndexLabel.h"
#include "playlist/Parallel.h"
#include "playlist/Playable.h"
#include "playlist/PlaylistModel.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <thread>

namespace {

// The first of `count` steps, in order, whose entry is playable; -1 when none
// is. at(k) is the row of step k.
//
// Each test of a local file is a file-system query, and nearly all its cost
// is the kernel's. Most searches end within a few steps; one that has not
// after kSteadySteps goes on over all cores, a block of rows at a time and
// the blocks in order, so the answer is still the first playable row. The
// rows a worker tests past it are few and only read.
template <typename At> int FirstPlayableStep(const PlaylistModel &list, int count, At at) {
    constexpr int kSteadySteps = 256;
    constexpr int kBlock = 128;
    const int steady = std::min(count, kSteadySteps);
    for (int k = 0; k < steady; ++k)
        if (IsPlayable(list.entryView(at(k))))
            return k;
    if (steady == count)
        return -1;

    std::atomic<int> nextBlock{0};
    std::atomic<int> first{INT_MAX};
    auto work = [&] {
        for (;;) {
            const int from = steady + nextBlock.fetch_add(1) * kBlock;
            if (from >= count || from >= first.load())
                return;
            const int to = std::min(count, from + kBlock);
            for (int k = from; k < to; ++k) {
                if (k >= first.load())
                    return;
                if (IsPlayable(list.entryView(at(k)))) {
                    int seen = first.load();
                    while (k < seen && !first.compare_exchange_weak(seen, k)) {
                    }
                    return;
                }
            }
        }
    };
    const int cores = std::min<int>(int(std::thread::hardware_concurrency()),
                                    1 + (count - steady) / (4 * kBlock));
    RunParts(std::max(cores, 1), [&](int) { work(); });
    const int hit = first.load();
    return hit == INT_MAX ? -1 : hit;
}

// The caller's count is trusted only as far as the list reaches.
int Bound(const PlaylistModel &list, int count) {
    return std::min(count, list.count());
}

QString Hit(IndexLabel &nextRL, int i) {
    nextRL.setIndex(i);
    return nextRL.text();
}

} // namespace

QString FindPlayableForward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count) {
    nextRL.reset();
    const int n = Bound(list, count);
    const int from = std::max(start, 0);
    if (from >= n)
        return QStringLiteral("-1");
    const int k = FirstPlayableStep(list, n - from, [from](int step) { return from + step; });
    return k < 0 ? QStringLiteral("-1") : Hit(nextRL, from + k);
}

QString FindPlayableBackward(const PlaylistModel &list, IndexLabel &nextRL, int start, int count) {
    nextRL.reset();
    const int n = Bound(list, count);
    const int from = std::min(start, n - 1);
    if (from >= 0) {
        const int k = FirstPlayableStep(list, from + 1, [from](int step) { return from - step; });
        if (k >= 0)
            return Hit(nextRL, from - k);
    }
    if (n > 0 && IsPlayable(list.entryView(n - 1)))
        return Hit(nextRL, n - 1);
    return QStringLiteral("-1");
}

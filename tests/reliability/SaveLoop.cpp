// Saves two playlists over each other, in turns, until it is killed, writing
// one byte to standard output as each save begins.
// Usage: velpa_save_loop <playlist file> <entries>
#include "persistence/PlaylistFile.h"
#include "reliability/SaveLoopLists.h"

#include <QString>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    const QStringList lists[] = {SaveLoopList(0, count), SaveLoopList(1, count)};
    for (unsigned round = 0;; ++round) {
        if (::write(STDOUT_FILENO, "s", 1) != 1)
            return 1;
        PlaylistFile::Save(path, lists[round % 2], TextEncoding::Plain);
    }
}

#pragma once

#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"

#include <QDir>
#include <deque>
#include <gtest/gtest.h>

// The commands over the fake engine, with a list built from a pattern:
// 'p' a playable file, 'm' a missing file, 'l' a link.
class PlayerFixture : public ::testing::Test {
protected:
    PlayerState state;
    FakeEngine engine;
    FakeDialogs dialogs;
    Player player{state, engine};
    std::deque<int> picks; // scripted RandomRange results
    QStringList heights;   // requested main window heights

    void SetUp() override {
        player.randomRange = [this](int n) {
            EXPECT_FALSE(picks.empty()) << "unexpected random pick";
            const int v = picks.empty() ? 0 : picks.front();
            if (!picks.empty())
                picks.pop_front();
            EXPECT_LT(v, n);
            return v;
        };
        QObject::connect(&state, &PlayerState::mainHeightRequested,
                         [this](int h) { heights << QString::number(h); });
    }

    QString entryName(int i, char kind) const {
        return kind == 'l' ? QStringLiteral("http://host/%1.mp4").arg(i)
                           : TestDocuments() + QStringLiteral("/%1.mp3").arg(i);
    }

    void makeList(const char *pattern) {
        QDir(TestDocuments()).removeRecursively(); // no file of an earlier list stays
        QStringList entries;
        for (int i = 0; pattern[i]; ++i) {
            entries << entryName(i, pattern[i]);
            if (pattern[i] == 'p')
                WriteBytes(entries.last(), "x");
        }
        state.list.setEntries(entries, TextEncoding::Plain);
    }

    // The entry the last open() loaded, as a row index; -1 when none.
    int openedRow() const {
        for (qsizetype i = engine.calls.size() - 1; i >= 0; --i) {
            const QString &c = engine.calls.at(i);
            if (c.startsWith("open "))
                return int(state.list.allEntries().indexOf(c.mid(5)));
        }
        return -1;
    }
    bool opened() const { return engine.calls.filter("open ").size() > 0; }
};

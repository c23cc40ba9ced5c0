#pragma once

#include "playback/Dialogs.h"

#include <QStringList>
#include <deque>

// Answers message boxes from a script and records what was shown, as
// "kind: text" lines. Installs itself for its lifetime.
class FakeDialogs : public Dialogs {
public:
    FakeDialogs() { SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(nullptr); }

    std::deque<bool> answers; // confirm() answers in order; No when empty
    QStringList shown;

    void information(const QString &text) override { shown << "information: " + text; }
    bool confirm(const QString &text) override {
        shown << "confirm: " + text;
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void error(const QString &text) override { shown << "error: " + text; }
    void report(const QString &text) override { shown << "report: " + text; }
};

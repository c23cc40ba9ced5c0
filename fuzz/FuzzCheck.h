#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A property that does not hold counts as a crash: libFuzzer keeps the input
// that broke it, like one that crashed.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFail(#condition, __FILE__, __LINE__);                                              \
    } while (0)

[[noreturn]] inline void FuzzFail(const char *what, const char *file, int line) {
    std::fprintf(stderr, "property broken: %s (%s:%d)\n", what, file, line);
    std::abort();
}

// Prints a text with every character outside printable ASCII as \uXXXX, for
// reading the values of a broken property.
inline void FuzzShow(const char *label, const QString &text) {
    QByteArray out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += char(c.unicode());
        else
            out += QByteArray("\\u") + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    }
    std::fprintf(stderr, "%s: \"%s\"\n", label, out.constData());
}

#pragma once

#include <QString>
#include <exception>

// Every message box goes through this seam, so tests can answer the boxes
// without timing and without a screen.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Information box with a single Yes button (a missing file).
    virtual void information(const QString &text) = 0;
    // Confirmation box with Yes and No, No being the default; true for Yes.
    virtual bool confirm(const QString &text) = 0;
    // Error box with a single Yes button (a refused link).
    virtual void error(const QString &text) = 0;
    // The application's error report: the text of an error that ended a
    // handler or the start-up.
    virtual void report(const QString &text) = 0;
};

Dialogs &AppDialogs();
// Installs the dialogs in use (not owned); nullptr restores the default boxes.
void SetDialogs(Dialogs *dialogs);

// Runs an event handler as the event loop would: an error it raises is shown
// by the error report and ends that handler only. Returns false on an error.
template <class F> bool RunHandler(F &&handler);

// The text of the exception in flight.
QString CurrentErrorText(std::exception_ptr e);

template <class F> bool RunHandler(F &&handler) {
    try {
        handler();
        return true;
    } catch (...) {
        AppDialogs().report(CurrentErrorText(std::current_exception()));
        return false;
    }
}

#include "playback/Dialogs.h"

#include "app/Errors.h"

namespace {
Dialogs *g_dialogs = nullptr;
} // namespace

// The message boxes of the windows; defined with the windows.
Dialogs &DefaultDialogs();

Dialogs &AppDialogs() {
    return g_dialogs ? *g_dialogs : DefaultDialogs();
}

void SetDialogs(Dialogs *dialogs) {
    g_dialogs = dialogs;
}

QString CurrentErrorText(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const AppError &err) {
        return err.message();
    } catch (const std::exception &err) {
        return QString::fromLocal8Bit(err.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

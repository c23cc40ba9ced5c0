#include "app/Application.h"

#include "app/Mpris.h"
#include "app/OpenWith.h"
#include "engine/MpvEngine.h"
#include "engine/MpvView.h"
#include "engine/MpvWindowView.h"
#include "playback/Dialogs.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "ui/Theme.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <clocale>

namespace {
PlayerState *g_state = nullptr;
MpvEngine *g_ownEngine = nullptr;
Player *g_player = nullptr;
} // namespace

void CreateForms(MediaEngine *engine) {
    g_state = new PlayerState;
    if (!engine)
        engine = g_ownEngine = new MpvEngine;
    g_player = new Player(*g_state, *engine);
    Form1 = new TForm1(*g_player);
    // mpv draws into a window of ours where it can (X11); elsewhere its
    // frames are rendered through Qt.
    if (g_ownEngine && MpvWindowView::isSupported())
        Form1->setVideoView(new MpvWindowView(*g_ownEngine, Form1));
    else if (g_ownEngine)
        Form1->setVideoView(new MpvView(*g_ownEngine, Form1));
    Form2 = new TForm2(*g_player);
    Form3 = new TForm3;
    Form4 = new TForm4(*g_player);
}

void DestroyForms() {
    delete Form4;
    delete Form3;
    delete Form2;
    delete Form1;
    Form4 = nullptr;
    Form3 = nullptr;
    Form2 = nullptr;
    Form1 = nullptr;
    delete g_player;
    g_player = nullptr;
    delete g_ownEngine;
    g_ownEngine = nullptr;
    delete g_state;
    g_state = nullptr;
}

bool ShowMainForm() {
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        Form1->move(area.center() - Form1->rect().center());
    }
    Form1->show();
    // The restore sequence runs now, before the event loop handles anything.
    // An error in it ends the program: the top-level handler reports it.
    try {
        Form1->FormShow();
    } catch (...) {
        AppDialogs().report(CurrentErrorText(std::current_exception()));
        return false;
    }
    return true;
}

void PlayArgumentsOnceStarted(const QStringList &arguments, const QString &workingDir) {
    const QString entry = OpenWithEntry(arguments, workingDir);
    if (entry.isEmpty())
        return;
    // Queued, so it runs from the event loop, after everything start-up does.
    QMetaObject::invokeMethod(
        Form1, [entry] { RunHandler([&] { PlayOpenedEntry(Form1->player(), entry); }); },
        Qt::QueuedConnection);
}

int RunPlayer(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velpa Player"));
    // No display name: Qt would append it to every window title, and the
    // titles are exactly the ones the windows set.
    // Only the main window's close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(kDesktopEntryName);
    // The media engine parses numbers the C way, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    ApplyDarkTheme(app);

    CreateForms();
    if (!ShowMainForm()) {
        DestroyForms();
        return 1;
    }
    {
        // Media keys and the desktop's media controls; without a session bus
        // the player simply goes without them.
        Mpris mpris(*Form1);
        mpris.publish(QDBusConnection::sessionBus());
        PlayArgumentsOnceStarted(app.arguments().mid(1), QDir::currentPath());
        app.exec();
    }
    DestroyForms();
    return 0;
}

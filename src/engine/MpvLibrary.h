#pragma once

#include <QString>

// libmpv and the some two hundred libraries it pulls in (FFmpeg, codecs,
// renderers) take longer to load than the whole rest of the player's
// start-up. The player therefore does not link it: libmpv is loaded the first
// time the media engine starts, after the main window is on the screen, and
// the mpv_* functions the player calls forward to it (MpvLibrary.cpp).

// Loads libmpv once; later calls only report the outcome. On failure
// `error` tells why (the dynamic loader's message).
bool LoadMpvLibrary(QString *error = nullptr);

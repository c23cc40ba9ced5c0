#pragma once

#include "playback/Texts.h"

#include <QString>
#include <chrono>
#include <functional>

// The generated test media: tone.wav, tone.mp3, clip.mp4 (320x240 with sound),
// picture.mp4 (320x240, no sound), corrupt.mp4 (random bytes); 2 s each.
QString MediaFile(const QString &name);
QString MediaDir();

constexpr MediaTime Seconds(double seconds) {
    return static_cast<MediaTime>(seconds * 10'000'000.0);
}

// Runs Qt's event loop until the condition holds; false after the timeout.
// The timeouts only keep a hang from blocking the run.
bool WaitUntil(const std::function<bool()> &condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Runs Qt's event loop for a while, so that late mpv events get handled.
void ProcessEventsFor(std::chrono::milliseconds time);

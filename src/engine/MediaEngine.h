#pragma once

#include "playback/Texts.h"

#include <QObject>
#include <QString>

enum class MediaState {
    Unavailable, // nothing loaded
    Playing,
    Stopped, // loaded and halted (paused, or at its end)
};

// The player operations the commands rely on. Everything happens on the GUI
// thread; open() returns only once the media is loaded or has failed.
class MediaEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaEngine() override = default;

    // Releases any loaded media and opens the file or link given as one
    // argument (never parsed as a command). Loaded media start unpaused at
    // position 0 with the current volume. On failure nothing stays loaded and
    // AppError is raised with a message naming the entry and the reason.
    virtual void open(const QString &fileName) = 0;
    virtual bool hasMedia() const = 0;
    virtual QString fileName() const = 0; // empty without media

    virtual void play() = 0;  // starts or resumes; nothing without media
    virtual void stop() = 0;  // halts keeping the position; nothing without media
    virtual void clear() = 0; // unloads; the position reads 0 afterwards
    virtual MediaState state() const = 0;

    // Media time (100 ns units). The position is 0 without media and exactly
    // the duration once the end has been reached.
    virtual MediaTime duration() const = 0;
    virtual MediaTime currentTime() const = 0;
    virtual void seek(MediaTime position) = 0; // ignored without media

    // 0 to 1; values outside are held at the nearer end.
    virtual void setVolume(float volume) = 0;
    virtual float volume() const = 0;

    // The loaded media's video size; 0 x 0 for audio or without media.
    virtual VideoSize videoSize() const = 0;
};

#pragma once

#include "app/Errors.h"
#include "engine/MediaEngine.h"

#include <QMap>
#include <QStringList>
#include <algorithm>

// A scripted engine: every name opens as defaultMedia unless media[] says
// otherwise; an entry with an error text fails to open with it. Calls are
// recorded as short lines ("open x", "play", "stop", "clear", "seek n").
class FakeEngine : public MediaEngine {
public:
    struct Media {
        MediaTime duration = 20'000'000;
        VideoSize size;
        QString error;
    };
    Media defaultMedia;
    QMap<QString, Media> media;
    QStringList calls;

    void open(const QString &name) override {
        calls << "open " + name;
        unload();
        const Media m = media.value(name, defaultMedia);
        if (!m.error.isEmpty())
            throw AppError(m.error);
        m_name = name;
        m_media = m;
        m_loaded = true;
    }
    bool hasMedia() const override { return m_loaded; }
    QString fileName() const override { return m_name; }
    void play() override {
        calls << "play";
        if (m_loaded)
            m_playing = true;
    }
    void stop() override {
        calls << "stop";
        if (m_loaded)
            m_playing = false;
    }
    void clear() override {
        calls << "clear";
        unload();
    }
    MediaState state() const override {
        if (!m_loaded)
            return MediaState::Unavailable;
        return m_playing ? MediaState::Playing : MediaState::Stopped;
    }
    MediaTime duration() const override { return m_loaded ? m_media.duration : 0; }
    MediaTime currentTime() const override { return m_loaded ? m_position : 0; }
    void seek(MediaTime position) override {
        calls << "seek " + QString::number(position);
        if (m_loaded)
            m_position = std::clamp<MediaTime>(position, 0, m_media.duration);
    }
    void setVolume(float v) override { m_volume = std::clamp(v, 0.0f, 1.0f); }
    float volume() const override { return m_volume; }
    VideoSize videoSize() const override { return m_loaded ? m_media.size : VideoSize{}; }

    // Test control: playback moves on.
    void advanceTo(MediaTime position) {
        if (m_loaded)
            m_position = std::clamp<MediaTime>(position, 0, m_media.duration);
    }
    void playToEnd() {
        if (m_loaded) {
            m_position = m_media.duration;
            m_playing = false;
        }
    }

private:
    void unload() {
        m_loaded = false;
        m_playing = false;
        m_position = 0;
        m_name.clear();
    }
    bool m_loaded = false;
    bool m_playing = false;
    MediaTime m_position = 0;
    float m_volume = 1.0f;
    QString m_name;
    Media m_media;
};

#include "app/Errors.h"
#include "engine/MediaEngine.h"
#include "playback/Player.h"
#include "playback/PlayerState.h"
#include "playback/Texts.h"

#include <QRandomGenerator>

QString MissingFileText(const QString &entry) {
    return QStringLiteral("Файл ") + entry + QStringLiteral(" не найден.");
}

Player::Player(PlayerState &state, MediaEngine &engine, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine) {
    // The run-time library's generator, seeded once per run.
    randomRange = [](int n) { return int(QRandomGenerator::global()->bounded(n)); };
    // The bars' change handlers.
    connect(&m_state.bar, &PositionBar::changed, this, &Player::TrackBarChange);
    connect(&m_state, &PlayerState::volumeChanged, this, &Player::VolumeBarChange);
}

float Player::playerVolume() const {
    return float(1.0 - double(m_state.volume()));
}

void Player::VolumeBarChange() {
    m_engine.setVolume(playerVolume());
}

void Player::StartEntry(int i, const QString &entry, EntryKind kind, StartSite site) {
    PlaylistModel &list = m_state.list;
    const bool link = kind == EntryKind::Link;
    MediaTime duration = 0;
    VideoSize size;
    QString durationText;
    QString name;

    auto step = [&](char s) {
        switch (s) {
        case 'L':
            switch (site) {
            case StartSite::NextPreviousSearch:
                m_state.iiCheck.setText(m_state.nextRL.text());
                break;
            case StartSite::DoubleClick:
                if (link) {
                    m_state.nextRL.setIndex(i);
                    m_state.iiCheck.setIndex(i);
                } else {
                    m_state.iiCheck.setIndex(i);
                    m_state.nextRL.setIndex(i);
                }
                break;
            default:
                m_state.iiCheck.setIndex(i);
                break;
            }
            break;
        case 'X':
            m_engine.stop();
            m_engine.clear();
            break;
        case 'F':
            m_engine.open(entry);
            duration = m_engine.duration();
            size = m_engine.videoSize();
            break;
        case 'R':
            list.selectRow(i);
            break;
        case 'M':
            // Every new entry starts from 0: a shorter duration must not clamp
            // the old position to the new end and make the entry count as ended.
            m_state.bar.tag = 1;
            m_state.bar.setValue(0.0f);
            m_state.bar.tag = 0;
            m_state.bar.setMax(float(duration));
            break;
        case 'V':
            m_engine.setVolume(playerVolume());
            break;
        case 'P':
            m_state.setListCaption(PlaylistCaption(i, list.count()));
            break;
        case 'D':
            durationText = DurationText(duration);
            break;
        case 'N':
            name = DisplayName(entry);
            break;
        case 'Z':
            if (site == StartSite::LinkWindow || !m_state.fullScreen())
                m_state.requestMainHeight(size.h() / 2);
            break;
        case 'B':
            m_state.setPauseLook(kPauseLook);
            break;
        case 'G':
            m_engine.play();
            break;
        case 'C': {
            CaptionForm form = CaptionForm::SpacedWithDuration;
            if (site == StartSite::PlayPause)
                form = CaptionForm::SpacedWithoutDuration;
            else if (site == StartSite::LinkWindow)
                form = CaptionForm::LinkWindow;
            else if (site == StartSite::DoubleClick && link)
                form = CaptionForm::TightWithDuration;
            const QString &subject = link ? entry : name;
            m_state.setMainCaption(MainCaption(form, subject, size, durationText), subject);
            break;
        }
        case 'H':
            m_state.setPauseHint(QString());
            break;
        }
    };
    auto steps = [&](const char *sequence) {
        for (const char *p = sequence; *p; ++p) {
            step(*p);
            // No media without an error ends the start right after loading.
            if (*p == 'F' && !m_engine.hasMedia())
                return false;
        }
        return true;
    };
    // The steps before loading; what follows depends on the loaded media.
    const char *head = "";
    switch (site) {
    case StartSite::NextPreviousSearch:
    case StartSite::NextPreviousRandom:
        head = "LXFRMVPN";
        break;
    case StartSite::NextPreviousLink:
        head = "LXFRMVP";
        break;
    case StartSite::DoubleClick:
        head = link ? "XLRFMVDP" : "XLRFPMVDN";
        break;
    case StartSite::PlayPause:
        head = link ? "XFRMVP" : "LXFRMVPN";
        break;
    case StartSite::LinkWindow:
        head = "XFMVC";
        break;
    }
    if (!steps(head))
        return;
    const bool video = size.hasVideo();
    switch (site) {
    case StartSite::NextPreviousSearch:
    case StartSite::NextPreviousRandom:
    case StartSite::NextPreviousLink:
        steps(video ? "ZBGDCH" : "BGDCH");
        break;
    case StartSite::DoubleClick:
        steps(video ? "ZBGCH" : "BGCH");
        break;
    case StartSite::PlayPause:
        steps(video ? "ZBCGH" : (link ? "BCGH" : "CBGH"));
        break;
    case StartSite::LinkWindow:
        steps(video ? "ZBG" : "BG");
        break;
    }
}

void Player::OpenFile(const QString &path) {
    m_engine.open(path);
    if (!m_engine.hasMedia())
        return;
    const MediaTime duration = m_engine.duration();
    m_state.bar.tag = 1;
    m_state.bar.setValue(0.0f);
    m_state.bar.tag = 0;
    m_state.bar.setMax(float(duration));
    m_engine.setVolume(playerVolume());
    const QString name = DisplayName(path);
    const VideoSize size = m_engine.videoSize();
    if (size.hasVideo() && !m_state.fullScreen())
        m_state.requestMainHeight(size.h() / 2);
    m_state.setPauseLook(kPauseLook);
    m_engine.play();
    // The size is read again after Play, as the caption shows it.
    m_state.setMainCaption(MainCaption(CaptionForm::SpacedWithDuration, name, m_engine.videoSize(),
                                       DurationText(duration)),
                           name);
    m_state.setPauseHint(QString());
    // Once more, whatever the full-screen state.
    if (size.hasVideo())
        m_state.requestMainHeight(size.h() / 2);
    m_state.setPauseLook(kPauseLook);
    m_engine.play();
}

void Player::OpenLink(const QString &link) {
    StartEntry(-1, link, EntryKind::Link, StartSite::LinkWindow);
}

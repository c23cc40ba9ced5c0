#include "app/Lifecycle.h"

#include "persistence/DocumentsFolder.h"
#include "persistence/PlaylistFile.h"
#include "persistence/Settings.h"
#include "playback/PlayerState.h"
#include "playback/Texts.h"
#include "playlist/Playable.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

QString SettingsPath() {
    return DocumentsFolder::FilePath(Settings::FileName());
}
QString PlaylistPath() {
    return DocumentsFolder::FilePath(PlaylistFile::FileName());
}

namespace {

PlayerState &State() {
    return Form1->state();
}

SettingsValues CurrentValues() {
    SettingsValues v;
    v.formTop = Form1->top();
    v.formLeft = Form1->left();
    v.listTop = Form2->top();
    v.listLeft = Form2->left();
    v.repeat = State().repeat();
    v.shuffle = State().shuffle();
    v.volume = State().volume();
    return v;
}

void LoadPlaylist(const QString &path) {
    PlaylistFile::DecodedList file = PlaylistFile::LoadList(path);
    State().list.setEntryList(std::move(file.entries), file.encoding);
}

// Saves the whole list when the search box is empty, or when it shows the
// placeholder and the file exists; never while a search is typed.
void ApplySaveRule() {
    const QString path = PlaylistPath();
    const QString &search = State().list.searchText();
    const bool save = (FileExists(path) && search == kSearchPlaceholder) || search.isEmpty();
    if (save)
        PlaylistFile::SaveList(path, State().list.entries(), State().list.encoding());
}

void PlaylistWindowSettingsWrite() {
    Settings::WritePlaylistWindow(SettingsPath(), Form2->top(), Form2->left(), State().repeat(),
                                  State().shuffle(), State().iiCheck.savedIndex());
}

} // namespace

void RestoreSequence() {
    PlayerState &state = State();
    qint32 startIndex = 0;

    // Settings step.
    const QString settings = SettingsPath();
    const bool settingsExisted = Settings::Exists(settings);
    if (settingsExisted) {
        const Settings::ReadResult read = Settings::Read(settings);
        Form1->setTop(read.values.formTop);
        Form1->setLeft(read.values.formLeft);
        Form2->setTop(read.values.listTop);
        Form2->setLeft(read.values.listLeft);
        state.setRepeat(read.values.repeat);
        state.setShuffle(read.values.shuffle);
        state.setVolume(read.values.volume);
        startIndex = read.last;
    } else {
        Settings::WriteFirstRun(settings, CurrentValues());
    }

    // Playlist step.
    const QString playlist = PlaylistPath();
    if (FileExists(playlist)) {
        LoadPlaylist(playlist);
    } else {
        PlaylistFile::WriteSample(playlist);
        LoadPlaylist(playlist);
        state.list.selectRow(0);
        state.iiCheck.setIndex(0);
        state.nextRL.setIndex(0);
        startIndex = 0;
        Settings::WriteLast(settings, state.iiCheck.toInt());
    }

    // Index restore: a stored index past the end names no row.
    if (state.list.count() > 0 && startIndex >= 0) {
        state.iiCheck.setIndex(startIndex);
        state.nextRL.setIndex(startIndex);
        state.list.selectRow(startIndex);
    }

    state.setMainCaption(kIdleCaption);
}

void MainWindowSettingsWrite() {
    Settings::WriteMainWindow(SettingsPath(), CurrentValues(), State().nextRL.savedIndex());
}

void PlaylistWindowClose() {
    PlaylistWindowSettingsWrite();
    ApplySaveRule();
    const QString path = PlaylistPath();
    if (!FileExists(path)) {
        PlaylistFile::WriteSample(path);
        LoadPlaylist(path);
        State().list.selectRow(0);
        State().iiCheck.setIndex(0);
    }
}

void PlaylistWindowExit() {
    PlaylistWindowSettingsWrite();
    ApplySaveRule();
}

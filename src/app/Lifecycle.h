#pragma once

#include <QString>

// Paths of the two files in the documents folder.
QString SettingsPath();
QString PlaylistPath();

// The restore sequence, run once when the main window is first shown:
// settings, playlist, index restore, idle caption. Raises on an error.
void RestoreSequence();

// The main window's share of the settings, written when it closes.
void MainWindowSettingsWrite();

// Closing the playlist window: its settings, the playlist save rule, and a
// sample playlist when the file is gone afterwards.
void PlaylistWindowClose();
// Leaving it by its exit button (already hidden): its settings and the
// playlist save rule.
void PlaylistWindowExit();

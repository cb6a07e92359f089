// Plays ".wav" and ".mp3" files, one sound at a time, through SDL2_mixer. Without an audio
// device the sound plays silently on SDL's dummy output, so its timing holds everywhere.
#pragma once

#include <QString>

namespace sound_player {

// Stops the current sound (if any) and releases it.
void Close();
// Closes the current sound, opens the file and starts playing it once. False, with a
// description in `problem`, when no audio output can be opened or the file cannot be decoded.
bool Start(const QString& path, QString& problem);
// Length of the current sound in milliseconds; -1 when unknown or nothing is open.
qint64 LengthMs();
// True while the current sound plays.
bool Playing();
// Blocks for the length of the current sound, then closes it. When the length is unknown it
// waits while the sound plays, and gives up once playback stops advancing for two seconds.
void WaitAndClose();

}  // namespace sound_player

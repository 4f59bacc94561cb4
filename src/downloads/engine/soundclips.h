#pragma once

#include <QByteArray>
#include <QString>

// The three notification sounds: 101 a web page arrived instead of a file,
// 102 downloads finished or were stopped, 103 a transfer failed.
inline constexpr int kSoundWebPage = 101;
inline constexpr int kSoundFinished = 102;
inline constexpr int kSoundFailed = 103;

// The clip as a WAV file (16-bit mono PCM), made from tones by the program;
// empty for a number that has no clip.
QByteArray NotifySoundWav(int id);

// The clip's file: "<id>.wav" beside the program when it is there, else in the
// per-user data folder, written there anew when missing. Empty when the number
// has no clip or nothing could be written.
QString EnsureSoundClip(int id, const QString& programFolder, const QString& dataFolder);

// Plays the notification sounds. Where there is no audio device it is silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlayNotifySound(int id) = 0;
};

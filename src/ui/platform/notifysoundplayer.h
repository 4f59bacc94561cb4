#pragma once

#include "downloads/engine/soundclips.h"

#include <QObject>

#include <map>
#include <memory>

class QSoundEffect;

// Plays the clips with the platform's sound output, without waiting for them.
// With no audio output device it plays nothing and returns at once.
class NotifySoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotifySoundPlayer)

public:
    NotifySoundPlayer(QString programFolder, QString dataFolder, QObject* parent = nullptr);
    ~NotifySoundPlayer() override;

    void PlayNotifySound(int id) override;

private:
    QString m_programFolder;
    QString m_dataFolder;
    std::map<int, std::unique_ptr<QSoundEffect>> m_effects;
};

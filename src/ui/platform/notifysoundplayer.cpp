#include "notifysoundplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

NotifySoundPlayer::NotifySoundPlayer(QString programFolder, QString dataFolder, QObject* parent)
    : QObject(parent)
    , m_programFolder(std::move(programFolder))
    , m_dataFolder(std::move(dataFolder))
{
}

NotifySoundPlayer::~NotifySoundPlayer() = default;

void NotifySoundPlayer::PlayNotifySound(int id)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    const QString clip = EnsureSoundClip(id, m_programFolder, m_dataFolder);
    if (clip.isEmpty())
        return;
    std::unique_ptr<QSoundEffect>& effect = m_effects[id];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(clip));
    }
    effect->play();
}

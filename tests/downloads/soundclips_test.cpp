#include "downloads/engine/soundclips.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SoundClips, EachIsAWellFormedShortWav)
{
    for (const int id : {kSoundWebPage, kSoundFinished, kSoundFailed}) {
        const QByteArray wav = NotifySoundWav(id);
        ASSERT_GT(wav.size(), 44) << id;
        EXPECT_TRUE(wav.startsWith("RIFF")) << id;
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ") << id;
        EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), static_cast<quint32>(wav.size() - 8)) << id;
        EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), static_cast<quint32>(wav.size() - 44)) << id;
        const double seconds = (wav.size() - 44) / 2.0 / 22050.0;
        EXPECT_GT(seconds, 0.1) << id;
        EXPECT_LT(seconds, 1.0) << id;
    }
    EXPECT_NE(NotifySoundWav(kSoundWebPage), NotifySoundWav(kSoundFailed));
    EXPECT_TRUE(NotifySoundWav(104).isEmpty());
}

TEST(SoundClips, ShippedClipFirstElseRecreatedInTheDataFolder)
{
    TempFolder program;
    TempFolder data;
    const QString recreated = EnsureSoundClip(kSoundFinished, program.path(), data.path() + u"/sub"_s);
    EXPECT_EQ(recreated, data.path() + u"/sub/102.wav"_s);
    QFile file(recreated);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), NotifySoundWav(kSoundFinished));

    const QString shipped = program.writeFile(u"102.wav"_s, "a clip of the installation");
    EXPECT_EQ(EnsureSoundClip(kSoundFinished, program.path(), data.path()), shipped);
    EXPECT_EQ(EnsureSoundClip(7, program.path(), data.path()), u""_s);
    EXPECT_EQ(EnsureSoundClip(kSoundFailed, program.path(), u"/proc/no-such/place"_s), u""_s);
}

TEST(SoundClips, BuildPlacesTheClipsBesideTheProgram)
{
    for (const int id : {kSoundWebPage, kSoundFinished, kSoundFailed}) {
        QFile clip(QStringLiteral(PAPERPULL_PROGRAM_DIR "/") + QString::number(id) + u".wav"_s);
        ASSERT_TRUE(clip.open(QIODevice::ReadOnly)) << id;
        EXPECT_EQ(clip.readAll(), NotifySoundWav(id)) << id;
    }
}

} // namespace

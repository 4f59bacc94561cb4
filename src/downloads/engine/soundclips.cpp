#include "soundclips.h"

#include "core/pathfunctions.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kSampleRate = 22050;

struct Tone {
    double Hertz; // 0 = silence
    double Seconds;
};

// Each clip is a few short tones: rising for a web page, a falling chime for
// the end of the downloads, two low buzzes for a failure.
std::vector<Tone> tonesFor(int id)
{
    switch (id) {
    case kSoundWebPage: return {{660, 0.09}, {0, 0.03}, {880, 0.12}};
    case kSoundFinished: return {{1046.5, 0.12}, {784, 0.12}, {523.25, 0.22}};
    case kSoundFailed: return {{220, 0.16}, {0, 0.06}, {196, 0.22}};
    default: return {};
    }
}

void appendLittleEndian32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLittleEndian16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray NotifySoundWav(int id)
{
    const std::vector<Tone> tones = tonesFor(id);
    if (tones.empty())
        return {};
    QByteArray samples;
    for (const Tone& tone : tones) {
        const int count = static_cast<int>(tone.Seconds * kSampleRate);
        for (int i = 0; i < count; ++i) {
            // A short fade in and out keeps the tones from clicking.
            const double fade = std::min({1.0, i / 200.0, (count - i) / 200.0});
            const double value = tone.Hertz > 0
                ? std::sin(2 * std::numbers::pi * tone.Hertz * i / kSampleRate) * 0.35 * fade
                : 0.0;
            appendLittleEndian16(samples, static_cast<quint16>(static_cast<qint16>(value * 32767)));
        }
    }
    QByteArray wav = "RIFF";
    appendLittleEndian32(wav, static_cast<quint32>(36 + samples.size()));
    wav += "WAVEfmt ";
    appendLittleEndian32(wav, 16);             // format chunk size
    appendLittleEndian16(wav, 1);              // PCM
    appendLittleEndian16(wav, 1);              // mono
    appendLittleEndian32(wav, kSampleRate);
    appendLittleEndian32(wav, kSampleRate * 2); // bytes per second
    appendLittleEndian16(wav, 2);              // bytes per frame
    appendLittleEndian16(wav, 16);             // bits per sample
    wav += "data";
    appendLittleEndian32(wav, static_cast<quint32>(samples.size()));
    return wav + samples;
}

QString EnsureSoundClip(int id, const QString& programFolder, const QString& dataFolder)
{
    const QByteArray wav = NotifySoundWav(id);
    if (wav.isEmpty())
        return {};
    const QString name = QString::number(id) + u".wav"_s;
    const QString shipped = programFolder + u'/' + name;
    if (FileExists(shipped))
        return shipped;
    const QString recreated = dataFolder + u'/' + name;
    if (FileExists(recreated))
        return recreated;
    QDir().mkpath(dataFolder);
    QSaveFile file(recreated);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size() || !file.commit())
        return {};
    return recreated;
}

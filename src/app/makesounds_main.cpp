// Writes the program's notification clips (101.wav, 102.wav, 103.wav) into a
// folder; the build runs it to place them beside the executable.

#include "downloads/engine/soundclips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: paperpull-makesounds FOLDER\n");
        return 2;
    }
    const QString folder = app.arguments().at(1);
    QDir().mkpath(folder);
    for (const int id : {kSoundWebPage, kSoundFinished, kSoundFailed}) {
        QFile file(folder + u'/' + QString::number(id) + QStringLiteral(".wav"));
        if (!file.open(QIODevice::WriteOnly) || file.write(NotifySoundWav(id)) < 0) {
            std::fprintf(stderr, "paperpull-makesounds: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}

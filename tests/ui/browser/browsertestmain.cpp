#include "browsertesting.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The tests that hold a browser: a widget application with shared contexts,
// and the shared profile deleted before the application goes.
int main(int argc, char* argv[])
{
    // Folders of this process's own: ctest runs test cases side by side, and
    // two browsers must never share a profile folder, a cookie file or the
    // runtime folder (with a shared one, a download of one process was seen
    // to stall while another process's browser ran).
    QTemporaryDir home;
    if (home.isValid()) {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString folder = home.path() + u'/' + QString::fromLatin1(name).toLower();
            QDir().mkpath(folder);
            qputenv(name, QFile::encodeName(folder));
        }
        // The runtime folder must be the user's alone, or Qt ignores it.
        QFile::setPermissions(home.path() + u"/xdg_runtime_dir"_s,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // The toolkit's offscreen screen is 800 by 800 unless told otherwise; the
    // windows are tried on a desktop's, 1600 by 900.
    if (home.isValid() && qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(home.filePath(u"screens.json"_s));
        if (screens.open(QIODevice::WriteOnly)
            && screens.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1600, "height": 900,)"
                             R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   > 0) {
            screens.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
        }
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DeleteSharedProfile();
    return result;
}

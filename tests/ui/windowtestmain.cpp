#include "ui/browser/browsertesting.h"

#include <QApplication>

#include <gtest/gtest.h>

// The windows' tests: a widget application the browser can run in (the
// download window holds one); the shared profile goes before the application.
int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DeleteSharedProfile();
    return result;
}

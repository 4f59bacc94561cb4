#include "browsertesting.h"

#include <QApplication>

#include <gtest/gtest.h>

// The windows hold real browsers: a widget application with shared contexts,
// and the profile deleted before the application goes.
int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DeleteSharedProfile();
    return result;
}

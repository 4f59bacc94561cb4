#include "browsertesting.h"

#include <QApplication>

#include <gtest/gtest.h>

// The browser needs a widget application; the profile must go before it does.
int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    DeleteSharedProfile();
    return result;
}

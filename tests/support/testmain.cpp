#include <QCoreApplication>

#include <gtest/gtest.h>

// Every test runs with an application object, so that event loops, timers and
// the standard folders behave as in the program.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

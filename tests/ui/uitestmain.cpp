#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need a QApplication; this main takes the place of the shared
// one, which the linker then leaves out of the support library.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

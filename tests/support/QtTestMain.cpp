#include "tests/support/TempHome.h"

#include <QApplication>
#include <gtest/gtest.h>

// Entry point of the test programs that need Qt widgets: a private home and
// an application object on the offscreen platform unless one was chosen.
int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

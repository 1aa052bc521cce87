#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QApplication>

// Entry point of the test programs that need Qt widgets: a private home and
// an application object on the offscreen platform unless one was chosen.
// Prompts and shell requests that a test did not script fail that test at
// once: nothing waits on a real dialog or starts a real program.
int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    zrv::test::ScriptedPrompts strictPrompts;
    zrv::test::ScriptedShell strictShell;
    return RUN_ALL_TESTS();
}

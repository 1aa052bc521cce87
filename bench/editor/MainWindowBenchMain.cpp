// The program of a benchmark on a started main window: a temporary home for
// the editor's settings and files, the offscreen platform unless another is
// asked for, and the application object the window needs.
#include "tests/support/TempHome.h"

#include <benchmark/benchmark.h>
#include <QApplication>

int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Opening an archive in the main window (list filled, status and commands
// refreshed) against the engine's own load plus reading every fortune, and
// against a plain read() + memchr scan of the same file.

#include "bench/ScanBaseline.h"
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/CSettings.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modInstall.h"
#include "editor/support/CRegistry.h"
#include "engine/CArchive.h"
#include "tests/support/TempHome.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTreeView>

namespace {

struct Installation {
    QString editorFolder;
    QString dataFolder;
};

Installation* g_installation = nullptr;

// Answers the player warning and anything else with No / OK.
class Quiet final : public zrv::desktop::IPromptResponder {
public:
    zrv::desktop::PromptAnswer Answer(const zrv::desktop::PromptRecord&, QWidget*) override
    {
        return {zrv::desktop::vbNo, {}};
    }
};

QString ArchiveName(int64_t count)
{
    return QStringLiteral("bench-%1").arg(count);
}

// Fortunes of two lines, some fifty bytes each, as people write them.
void WriteArchive(const QString& path, int64_t count)
{
    QByteArray bytes = "Benchmark archive\r\nwith a header of two lines";
    for (int64_t i = 1; i <= count; ++i)
        bytes +=
            "\n%\nFortune number " + QByteArray::number(i) + " says:\r\nkeep your archives tidy.";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

QString ArchivePath(int64_t count)
{
    const QString path = g_installation->dataFolder + u'/' + ArchiveName(count);
    if (!QFile::exists(path))
        WriteArchive(path, count);
    return path;
}

// Reads the whole file with read() and counts line feeds with memchr.
void ScanFile(benchmark::State& state)
{
    const std::string path = ArchivePath(state.range(0)).toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(zrv::bench::CountLineFeeds(path));
}

void EngineLoadAndReadAll(benchmark::State& state)
{
    const std::string path = ArchivePath(state.range(0)).toStdString();
    for (auto _ : state) {
        zrv::CArchive archive;
        archive.Load(path);
        const int32_t count = archive.Count();
        for (int32_t i = 1; i <= count; ++i)
            benchmark::DoNotOptimize(archive.Item(i));
        if (count != state.range(0))
            state.SkipWithError("engine read a wrong count");
    }
}

void EditorOpenArchive(benchmark::State& state)
{
    const QString name = ArchiveName(state.range(0));
    ArchivePath(state.range(0));
    frmMain main(g_installation->editorFolder, &CMainWindowCommands::Install);
    main.Form_Load();
    for (auto _ : state) {
        main.CloseArchive();
        main.OpenArchive(name);
        if (main.RowCount() != state.range(0))
            state.SkipWithError("the list holds a wrong count");
    }
}

// What a person feels in a long list: selecting every row with the status
// refreshed, and jumping to the end with the rows there painted.
void EditorLargeListUse(benchmark::State& state)
{
    const QString name = ArchiveName(state.range(0));
    ArchivePath(state.range(0));
    frmMain main(g_installation->editorFolder, &CMainWindowCommands::Install);
    main.Form_Load();
    main.OpenArchive(name);
    for (auto _ : state) {
        main.Commands().Run(QStringLiteral("mnuEditSelectAll"));
        main.Commands().Run(QStringLiteral("mnuEditInvertSelection"));
        main.List()->scrollToBottom();
        benchmark::DoNotOptimize(main.List()->viewport()->grab());
        main.List()->scrollToTop();
        if (main.SelectedCount() != 0)
            state.SkipWithError("the selection was not inverted");
    }
}

BENCHMARK(ScanFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineLoadAndReadAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorOpenArchive)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorLargeListUse)->Arg(100000)->Unit(benchmark::kMillisecond);

bool RegisterComponent()
{
    void* library = dlopen(ZRV_FORT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    using Register = int32_t (*)();
    const auto registerServer =
        library ? reinterpret_cast<Register>(dlsym(library, "DllRegisterServer")) : nullptr;
    return registerServer && registerServer() == 0;
}

Installation PrepareInstallation()
{
    Installation installation;
    installation.editorFolder = QString::fromStdString(zrv::test::MakeTempDir("editor"));
    const QString player = QString::fromStdString(zrv::test::MakeTempDir("player"));
    QFile(installation.editorFolder + u'/' + Install::PlayerFile).open(QIODevice::WriteOnly);
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE,
                     Install::UninstallKey + QStringLiteral("\\ZorvaFortune_is1"), true);
    registry.WriteValue(Install::AppPathValue, player);
    // The window opens normal and small, as after a user's first resize.
    CRegistry settings;
    settings.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, true);
    settings.WriteValue(QStringLiteral("WindowState"), QStringLiteral("0"));
    installation.dataFolder = player + QStringLiteral("/data");
    QDir().mkpath(installation.dataFolder);
    return installation;
}

// Prints each editor time as a ratio to the engine's and the scan's time of the
// same size, in real and in CPU time (a loaded machine stretches the former).
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const Times times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            const std::string size = name.substr(name.find('/') + 1);
            if (name.rfind("ScanFile", 0) == 0)
                mScan[size] = times;
            else if (name.rfind("EngineLoadAndReadAll", 0) == 0)
                mEngine[size] = times;
            else if (name.rfind("EditorOpenArchive", 0) == 0) {
                PrintRatio("engine", size, times, mEngine);
                PrintRatio("scan", size, times, mScan);
            }
        }
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
    };

    static void PrintRatio(const char* baseline, const std::string& size, const Times& editor,
                           const std::map<std::string, Times>& baselines)
    {
        const auto found = baselines.find(size);
        if (found == baselines.end())
            return;
        const Times& base = found->second;
        std::printf("ratio editor/%s at %s fortunes: %.2f real (editor %.1f ms, %s %.2f ms), "
                    "%.2f CPU (%.1f ms, %.2f ms)\n",
                    baseline, size.c_str(), editor.real / base.real, editor.real, baseline,
                    base.real, editor.cpu / base.cpu, editor.cpu, base.cpu);
    }

    std::map<std::string, Times> mScan;
    std::map<std::string, Times> mEngine;
};

} // namespace

int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Quiet quiet;
    zrv::desktop::SetPromptResponder(&quiet);
    if (!RegisterComponent()) {
        std::fprintf(stderr, "cannot register %s\n", ZRV_FORT_LIBRARY);
        return 1;
    }
    Installation installation = PrepareInstallation();
    g_installation = &installation;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    zrv::desktop::SetPromptResponder(nullptr);
    return 0;
}

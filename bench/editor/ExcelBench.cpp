// Spreadsheet export and import through the editor's commands and the real
// spreadsheet application, against doing the same work directly in the same
// iterations:
// - export of 10,000 fortunes (options answered, workbook filled and written
//   as the shown BookN.xlsx) against reading them with IFortune Item and
//   writing the same xlsx with the file layer;
// - import of 10,000 rows into a 100,000-fortune archive (file opened, cells
//   read, appended in batches, archive shown again) against one engine
//   AddMany of the same texts on an archive of the same size.
// Reports "ratio" = editor time / baseline time.
#include "desktop/Prompts.h"
#include "desktop/ShellExecute.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modInstall.h"
#include "editor/support/CArchiveObject.h"
#include "editor/support/CRegistry.h"
#include "engine/CArchive.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/support/TempHome.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <dlfcn.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFortunes = 10000;
constexpr int kArchive = 100000; // fortunes already in the archive an import appends to

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Processor time of the process so far: the work without the waits for the
// disk, which vary with what else the machine does.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Real and processor time of the editor's work and of the baseline.
struct Times {
    double editor = 0;
    double baseline = 0;
    double editorCpu = 0;
    double baselineCpu = 0;

    template <typename F> static void Add(double& real, double& cpu, F&& work)
    {
        const Clock::time_point start = Clock::now();
        const double startCpu = CpuSeconds();
        work();
        cpu += CpuSeconds() - startCpu;
        real += Seconds(Clock::now() - start);
    }

    void Report(benchmark::State& state, const char* baselineName) const
    {
        const auto n = static_cast<double>(state.iterations());
        state.counters["ratio"] = editor / baseline;
        state.counters["cpu_ratio"] = editorCpu / baselineCpu;
        state.counters["editor_s"] = editor / n;
        state.counters[baselineName] = baseline / n;
    }
};

QString FortuneText(int i)
{
    return QStringLiteral("Fortune number %1 says:\r\nkeep your archives tidy.").arg(i);
}

struct Installation {
    QString editorFolder;
    QString dataFolder;
    QString importFile;
};
Installation* g_installation = nullptr;

// Yes to every question, the import file in the file dialog.
class Answers final : public zrv::desktop::IPromptResponder {
public:
    zrv::desktop::PromptAnswer Answer(const zrv::desktop::PromptRecord& prompt, QWidget*) override
    {
        if (prompt.kind == zrv::desktop::PromptRecord::Kind::OpenFile)
            return {zrv::desktop::vbOK, g_installation->importFile};
        return {zrv::desktop::vbYes, {}};
    }
};

// The desktop program takes every shown workbook at once.
class Desktop final : public zrv::desktop::IShellExecutor {
public:
    zrv::desktop::HINSTANCE Execute(const zrv::desktop::ShellRequest&) override
    {
        return zrv::desktop::kShellSuccess;
    }
};

void WriteArchive(const QString& path, int count)
{
    QByteArray bytes = "Benchmark archive";
    for (int i = 1; i <= count; ++i)
        bytes += "\n%\n" + FortuneText(i).toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void ClearDocuments()
{
    QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).removeRecursively();
}

void ExportBaseline(const QString& archivePath, const std::string& target)
{
    zrv::CArchive archive;
    archive.Load(archivePath.toStdString());
    zrv::sheet::WorkbookData book;
    book.sheets.emplace_back();
    zrv::sheet::SheetData& sheet = book.sheets[0];
    sheet.name = "Sheet1";
    const int32_t count = archive.Count();
    for (int32_t i = 1; i <= count; ++i) {
        const uint32_t row = static_cast<uint32_t>(i);
        sheet.cells[{row, 1}] = {zrv::sheet::CellKind::Text, archive.Item(i), 0, false};
        sheet.rowHeights[row] = 30;
    }
    sheet.columnWidths[1] = 60;
    sheet.activeCell = {1, 2};
    std::string error;
    QFile::remove(QString::fromStdString(target));
    if (!zrv::sheet::WriteXlsxFile(book, target, error))
        std::abort();
}

void ExportToSpreadsheet(benchmark::State& state)
{
    const QString archivePath = g_installation->dataFolder + QStringLiteral("/export");
    WriteArchive(archivePath, kFortunes);
    const std::string direct =
        (g_installation->dataFolder + QStringLiteral("/../direct.xlsx")).toStdString();
    frmMain main(g_installation->editorFolder, &CMainWindowCommands::Install);
    main.Form_Load();
    main.OpenArchive(QStringLiteral("export"));
    Times times;
    for (auto _ : state) {
        state.PauseTiming();
        ClearDocuments();
        state.ResumeTiming();
        Times::Add(times.baseline, times.baselineCpu, [&] { ExportBaseline(archivePath, direct); });

        QTimer::singleShot(0, [] {
            if (QWidget* form = QApplication::activeModalWidget())
                form->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        Times::Add(times.editor, times.editorCpu,
                   [&] { main.Commands().Run(QStringLiteral("mnuActionsExport")); });
        const QString shown =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Book1.xlsx";
        if (!QFile::exists(shown))
            state.SkipWithError("no workbook was shown");
    }
    times.Report(state, "direct_s");
}

void ImportFromSpreadsheet(benchmark::State& state)
{
    zrv::sheet::WorkbookData book;
    book.sheets.emplace_back();
    book.sheets[0].name = "Sheet1";
    for (int i = 1; i <= kFortunes; ++i)
        book.sheets[0].cells[{static_cast<uint32_t>(i), 1}] = {
            zrv::sheet::CellKind::Text, FortuneText(i).toStdString(), 0, false};
    g_installation->importFile = g_installation->dataFolder + QStringLiteral("/../import.xlsx");
    QFile::remove(g_installation->importFile);
    std::string error;
    if (!zrv::sheet::WriteXlsxFile(book, g_installation->importFile.toStdString(), error))
        std::abort();

    const QString imported = g_installation->dataFolder + QStringLiteral("/import");
    const std::string added = (g_installation->dataFolder + QStringLiteral("/added")).toStdString();
    std::vector<std::string> texts;
    for (int i = 1; i <= kFortunes; ++i)
        texts.push_back(FortuneText(i).toStdString());
    frmMain main(g_installation->editorFolder, &CMainWindowCommands::Install);
    main.Form_Load();
    Times times;
    for (auto _ : state) {
        state.PauseTiming();
        WriteArchive(imported, kArchive);
        WriteArchive(QString::fromStdString(added), kArchive);
        main.OpenArchive(QStringLiteral("import"));
        state.ResumeTiming();
        zrv::CArchive archive;
        Times::Add(times.baseline, times.baselineCpu, [&] {
            archive.Load(added);
            archive.AddMany(texts);
        });
        Times::Add(times.editor, times.editorCpu,
                   [&] { main.Commands().Run(QStringLiteral("mnuActionsImport")); });
        if (main.RowCount() != kArchive + kFortunes || archive.Count() != kArchive + kFortunes)
            state.SkipWithError("a wrong number of fortunes was appended");
    }
    times.Report(state, "engine_s");
}

BENCHMARK(ExportToSpreadsheet)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportFromSpreadsheet)->Iterations(3)->Unit(benchmark::kMillisecond);

bool Register(const char* path)
{
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    using Entry = int32_t (*)();
    const auto entry =
        library ? reinterpret_cast<Entry>(dlsym(library, "DllRegisterServer")) : nullptr;
    return entry && entry() == 0;
}

// A display and a program for the xlsx type, as the application asks the
// desktop: a stand-in xdg-mime first in PATH names one.
void PrepareDesktop(const QString& root)
{
    qputenv("DISPLAY", ":99");
    const QString bin = root + QStringLiteral("/bin");
    QDir().mkpath(bin);
    QFile standIn(bin + QStringLiteral("/xdg-mime"));
    if (!standIn.open(QIODevice::WriteOnly))
        std::abort();
    standIn.write("#!/bin/sh\necho standin.desktop\n");
    standIn.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    standIn.close();
    qputenv("PATH", (bin + u':').toUtf8() + qgetenv("PATH"));
}

Installation PrepareInstallation(const QString& root)
{
    Installation installation;
    installation.editorFolder = QString::fromStdString(zrv::test::MakeTempDir("editor"));
    const QString player = QString::fromStdString(zrv::test::MakeTempDir("player"));
    QFile(installation.editorFolder + u'/' + Install::PlayerFile).open(QIODevice::WriteOnly);
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE,
                     Install::UninstallKey + QStringLiteral("\\ZorvaFortune_is1"), true);
    registry.WriteValue(Install::AppPathValue, player);
    installation.dataFolder = player + QStringLiteral("/data");
    QDir().mkpath(installation.dataFolder);
    PrepareDesktop(root);
    return installation;
}

} // namespace

int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (!Register(ZRV_FORT_LIBRARY) || !Register(ZRV_SHEET_LIBRARY)) {
        std::fprintf(stderr, "cannot register %s or %s\n", ZRV_FORT_LIBRARY, ZRV_SHEET_LIBRARY);
        return 1;
    }
    Installation installation = PrepareInstallation(QString::fromStdString(home.root()));
    g_installation = &installation;
    Answers answers;
    Desktop desktop;
    zrv::desktop::SetPromptResponder(&answers);
    zrv::desktop::SetShellExecutor(&desktop);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    zrv::desktop::SetShellExecutor(nullptr);
    zrv::desktop::SetPromptResponder(nullptr);
    return 0;
}

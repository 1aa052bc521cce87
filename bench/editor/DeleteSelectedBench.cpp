// Deleting 1,000 selected fortunes of a 10,000-fortune archive in the editor's
// main window (offscreen): the question answered Yes, one batch deletion of
// the selected indexes, the list shown again. The baseline in the same
// iterations is one durable rewrite of the same archive by a fresh object.
// Reports "ratio" = deletion time / baseline time and both times. The same
// for undoing the deletion: the file's state checked, the texts put back in
// one write, the list shown again with the selection.
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CArchiveObject.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <QFile>
#include <QItemSelectionModel>
#include <QTreeView>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFortunes = 10000;
constexpr int kSelected = 1000;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

QByteArray ArchiveBytes()
{
    QByteArray bytes = "Generated fortunes\r\nfor the benchmark";
    std::mt19937 random(7);
    for (int i = 1; i <= kFortunes; ++i) {
        bytes += "\n%\n";
        bytes += QByteArray("Fortune ") + QByteArray::number(i);
        for (unsigned line = random() % 3; line > 0; --line)
            bytes += "\r\nand one more line of some fifty characters or so.";
    }
    return bytes;
}

// Every tenth row, selected in a shuffled order as a user's clicks may come.
void SelectRows(QTreeView& list)
{
    std::vector<int> rows;
    for (int i = 1; i <= kSelected; ++i)
        rows.push_back(i * (kFortunes / kSelected) - 1);
    std::shuffle(rows.begin(), rows.end(), std::mt19937(11));
    for (const int row : rows)
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void WriteArchive(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// One whole-file rewrite of the archive, written afresh, by a fresh object.
double RewriteSeconds(benchmark::State& state, const frmMain& main, const QString& name,
                      const QString& path, const QByteArray& bytes)
{
    state.PauseTiming();
    WriteArchive(path, bytes);
    state.ResumeTiming();
    const Clock::time_point before = Clock::now();
    {
        const CArchiveObject archive = main.LoadArchiveObject(name);
        archive.PutHeader(archive.Header());
    }
    return Seconds(Clock::now() - before);
}

class YesToAll final : public zrv::desktop::IPromptResponder {
public:
    zrv::desktop::PromptAnswer Answer(const zrv::desktop::PromptRecord&, QWidget*) override
    {
        return {zrv::desktop::vbYes, {}};
    }
};

// Times `change` (after `prepare`, untimed) and one rewrite in each iteration.
void Measure(benchmark::State& state, const char* counter,
             const std::function<void(frmMain&, const QString&)>& prepare,
             const std::function<void(frmMain&)>& change,
             const std::function<bool(const frmMain&, const QByteArray&)>& done)
{
    const zrv::test::EditorTestEnvironment environment;
    const auto main = environment.StartEditor();
    const QString name = QStringLiteral("Bench");
    const QString path = environment.ArchivePath(name);
    const QByteArray bytes = ArchiveBytes();
    YesToAll yes;
    zrv::desktop::SetPromptResponder(&yes);
    double changing = 0;
    double rewriting = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteArchive(path, bytes);
        prepare(*main, name);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        change(*main);
        changing += Seconds(Clock::now() - start);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !done(*main, file.readAll()))
            state.SkipWithError("the change left the wrong rows or bytes");
        rewriting += RewriteSeconds(state, *main, name, path, bytes);
    }
    zrv::desktop::SetPromptResponder(nullptr);
    const double n = static_cast<double>(state.iterations());
    state.counters[counter] = changing / n;
    state.counters["rewrite_s"] = rewriting / n;
    state.counters["ratio"] = rewriting > 0 ? changing / rewriting : 0;
}

void OpenAndSelect(frmMain& main, const QString& name)
{
    main.OpenArchive(name);
    SelectRows(*main.List());
}

void BM_DeleteSelectedFortunes(benchmark::State& state)
{
    Measure(
        state, "delete_s", OpenAndSelect,
        [](frmMain& main) { main.Commands().Run(QStringLiteral("mnuActionsDelete")); },
        [](const frmMain& main, const QByteArray&) {
            return main.RowCount() == kFortunes - kSelected && main.SelectedCount() == 0;
        });
}
BENCHMARK(BM_DeleteSelectedFortunes)->Unit(benchmark::kSecond)->Iterations(20);

void BM_UndoDeletion(benchmark::State& state)
{
    const QByteArray original = ArchiveBytes();
    Measure(
        state, "undo_s",
        [](frmMain& main, const QString& name) {
            OpenAndSelect(main, name);
            main.Commands().Run(QStringLiteral("mnuActionsDelete"));
        },
        [](frmMain& main) { main.Commands().Run(QStringLiteral("mnuEditUndo")); },
        [&original](const frmMain& main, const QByteArray& bytes) {
            return bytes == original && main.RowCount() == kFortunes &&
                   main.SelectedCount() == kSelected;
        });
}
BENCHMARK(BM_UndoDeletion)->Unit(benchmark::kSecond)->Iterations(20);

} // namespace

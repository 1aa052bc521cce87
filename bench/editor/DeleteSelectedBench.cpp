// Deleting 1,000 selected fortunes of a 10,000-fortune archive in the editor's
// main window (offscreen): the question answered Yes, one batch deletion of
// the selected indexes, the list shown again. The baseline in the same
// iterations is one durable rewrite of the same archive by a fresh object.
// Reports "ratio" = deletion time / baseline time and both times.
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CArchiveObject.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
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

class YesToAll final : public zrv::desktop::IPromptResponder {
public:
    zrv::desktop::PromptAnswer Answer(const zrv::desktop::PromptRecord&, QWidget*) override
    {
        return {zrv::desktop::vbYes, {}};
    }
};

void BM_DeleteSelectedFortunes(benchmark::State& state)
{
    const zrv::test::EditorTestEnvironment environment;
    const auto main = environment.StartEditor();
    const QString name = QStringLiteral("Bench");
    const QString path = environment.ArchivePath(name);
    const QByteArray bytes = ArchiveBytes();
    YesToAll yes;
    zrv::desktop::SetPromptResponder(&yes);
    double deleting = 0;
    double rewriting = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteArchive(path, bytes);
        main->OpenArchive(name);
        SelectRows(*main->List());
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        main->Commands().Run(QStringLiteral("mnuActionsDelete"));
        const Clock::time_point deleted = Clock::now();
        if (main->RowCount() != kFortunes - kSelected || main->SelectedCount() != 0)
            state.SkipWithError("the deletion left the wrong rows");

        state.PauseTiming();
        WriteArchive(path, bytes);
        state.ResumeTiming();
        const Clock::time_point before = Clock::now();
        {
            const CArchiveObject archive = main->LoadArchiveObject(name);
            archive.PutHeader(archive.Header()); // one whole-file rewrite
        }
        const Clock::time_point rewritten = Clock::now();

        deleting += Seconds(deleted - start);
        rewriting += Seconds(rewritten - before);
    }
    zrv::desktop::SetPromptResponder(nullptr);
    const double n = static_cast<double>(state.iterations());
    state.counters["delete_s"] = deleting / n;
    state.counters["rewrite_s"] = rewriting / n;
    state.counters["ratio"] = rewriting > 0 ? deleting / rewriting : 0;
}
BENCHMARK(BM_DeleteSelectedFortunes)->Unit(benchmark::kSecond)->Iterations(5);

} // namespace

// Deleting 1,000 selected fortunes of a 10,000-fortune archive the way the
// editor does it: one batch deletion of the selected indexes, then the list
// reloaded from a fresh object. The
// baseline in the same iterations is one rewrite of the same archive.
// Reports "ratio" = deletion time / baseline time and both times.
#include "editor/editing/BstrText.h"
#include "editor/editing/modSelection.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/support/TempHome.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <QFile>
#include <QStringList>
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

// Every tenth fortune, listed in a shuffled order as a selection may be.
std::vector<int32_t> Selection()
{
    std::vector<int32_t> indices;
    for (int i = 1; i <= kSelected; ++i)
        indices.push_back(i * (kFortunes / kSelected));
    std::shuffle(indices.begin(), indices.end(), std::mt19937(11));
    return indices;
}

// What OpenArchive does to rebuild the list: a fresh object, every fortune
// read from one snapshot.
int Reload(const QString& path)
{
    const ComPtr<IFortune> archive = FortuneFiles::LoadFortune(path);
    ComPtr<IFortuneBatch> batch;
    ComPtr<IFortuneSnapshot> snapshot;
    LONG count = 0;
    if (archive.queryInterface(IID_IFortuneBatch, batch) != S_OK ||
        batch->Snapshot(snapshot.put()) != S_OK || snapshot->Count(&count) != S_OK)
        return -1;
    int rows = 0;
    for (LONG i = 1; i <= count; ++i) {
        BString text;
        snapshot->get_Item(i, text.put());
        rows += text.view().empty() ? 0 : 1;
    }
    return rows;
}

void WriteArchive(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

void BM_DeleteSelectedFortunes(benchmark::State& state)
{
    const QString folder = QString::fromStdString(zrv::test::MakeTempDir("bench"));
    const QString path = folder + "/Bench";
    const QByteArray bytes = ArchiveBytes();
    const std::vector<int32_t> selected = Selection();
    double deleting = 0;
    double rewriting = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteArchive(path, bytes);
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        {
            const ComPtr<IFortune> archive = FortuneFiles::LoadFortune(path);
            modSelection::DeleteFortunes(archive.get(), selected);
        }
        const int rows = Reload(path);
        const Clock::time_point deleted = Clock::now();
        if (rows != kFortunes - kSelected)
            state.SkipWithError("the deletion left the wrong number of fortunes");

        state.PauseTiming();
        WriteArchive(path, bytes);
        state.ResumeTiming();
        const Clock::time_point before = Clock::now();
        {
            const ComPtr<IFortune> archive = FortuneFiles::LoadFortune(path);
            BString header;
            archive->get_Header(header.put());
            archive->put_Header(header.get()); // one whole-file rewrite
        }
        const Clock::time_point rewritten = Clock::now();

        deleting += Seconds(deleted - start);
        rewriting += Seconds(rewritten - before);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["delete_s"] = deleting / n;
    state.counters["rewrite_s"] = rewriting / n;
    state.counters["ratio"] = rewriting > 0 ? deleting / rewriting : 0;
    if (Reload(path) != kFortunes)
        state.SkipWithError("the baseline rewrite lost fortunes");
}
BENCHMARK(BM_DeleteSelectedFortunes)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    const zrv::test::TempHome home;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Clipboard transfer. Splitting a clipboard text of 100,000 fortunes (about
// 10 MB) against one memchr scan of the same bytes; and a Paste of 1,000
// fortunes into a 10,000-fortune archive (list rebuilt) against 1,000 engine
// Add calls on the same archive, each on disk before the next as well.
// Each reports "ratio" = clipboard time / baseline time and both times.

#include "desktop/ClipboardText.h"
#include "editor/editing/modClipboardFormat.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "engine/CArchive.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>
#include <QFile>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Processor time of this thread: other programs on a busy machine do not
// count against either side of a ratio.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Fortunes of two lines, about a hundred bytes each, as people write them.
std::vector<std::string> Fortunes(int count, int first = 1)
{
    std::vector<std::string> fortunes;
    for (int i = first; i < first + count; ++i)
        fortunes.push_back("Fortune number " + std::to_string(i) +
                           " says:\r\nkeep your archives tidy and your clipboard full of wisdom.");
    return fortunes;
}

std::string ClipboardText(const std::vector<std::string>& fortunes)
{
    std::string text;
    for (const std::string& fortune : fortunes)
        modClipboardFormat::AppendRecord(text, fortune);
    return text;
}

void Report(benchmark::State& state, const char* name, double measured, const char* baseName,
            double base)
{
    const double n = static_cast<double>(state.iterations());
    state.counters[name] = measured / n;
    state.counters[baseName] = base / n;
    state.counters["ratio"] = base > 0 ? measured / base : 0;
}

void BM_SplitClipboardText(benchmark::State& state)
{
    constexpr int kFortunes = 100000;
    const std::string text = ClipboardText(Fortunes(kFortunes));
    state.counters["bytes"] = static_cast<double>(text.size());
    double splitting = 0;
    double scanning = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        const std::vector<std::string_view> fortunes = modClipboardFormat::SplitFortunes(text);
        benchmark::DoNotOptimize(fortunes.data());
        const double split = ThreadSeconds();
        const void* found = std::memchr(text.data(), '\x01', text.size());
        benchmark::DoNotOptimize(found);
        const double scanned = ThreadSeconds();
        if (fortunes.size() != kFortunes)
            state.SkipWithError("the split found a wrong count");
        splitting += split - start;
        scanning += scanned - split;
    }
    Report(state, "split_s", splitting, "memchr_s", scanning);
}
BENCHMARK(BM_SplitClipboardText)->Unit(benchmark::kMillisecond);

QByteArray ArchiveBytes(int count)
{
    QByteArray bytes = "Benchmark archive";
    for (const std::string& fortune : Fortunes(count))
        bytes += "\n%\n" + QByteArray::fromStdString(fortune);
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void BM_PasteIntoArchive(benchmark::State& state)
{
    constexpr int kArchive = 100000;
    constexpr int kPasted = 1000;
    const zrv::test::EditorTestEnvironment environment;
    const auto main = environment.StartEditor();
    const QString name = QStringLiteral("Bench");
    const QString path = environment.ArchivePath(name);
    const QByteArray archive = ArchiveBytes(kArchive);
    const std::vector<std::string> pasted = Fortunes(kPasted, kArchive + 1);
    const std::string clipboard = ClipboardText(pasted);
    double pasting = 0;
    double adding = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(path, archive);
        main->OpenArchive(name);
        zrv::desktop::SetClipboardText(clipboard);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        main->Commands().Run(QStringLiteral("mnuEditPaste"));
        const Clock::time_point pasteDone = Clock::now();
        if (main->RowCount() != kArchive + kPasted)
            state.SkipWithError("the paste left a wrong count");

        state.PauseTiming();
        WriteFile(path, archive);
        state.ResumeTiming();
        const Clock::time_point before = Clock::now();
        {
            zrv::CArchive engine;
            engine.Load(path.toStdString());
            engine.AddMany(pasted);
        }
        const Clock::time_point added = Clock::now();
        pasting += Seconds(pasteDone - start);
        adding += Seconds(added - before);
    }
    Report(state, "paste_s", pasting, "engine_add_many_s", adding);
}
BENCHMARK(BM_PasteIntoArchive)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace

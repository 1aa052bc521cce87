// Finding in 100,000 fortunes in the editor's main window (offscreen): one
// typed text given to the find bar, the list filtered to the fortunes that
// hold it in any letter case, status and commands refreshed and the list's
// rows painted. The baseline in the same iterations is one case-insensitive
// scan of the same texts held in memory. Reports "ratio" = find time /
// baseline time and both times; once for the whole text given at once, once
// for its slowest keystroke when typed a letter at a time.
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTreeView>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFortunes = 100000;
const QString kTyped = QStringLiteral("Wisdom");

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Fortunes of two lines, some seventy characters each; about one in ten
// holds the typed text, in some letter case.
QStringList Texts()
{
    const QStringList words = {"keep",  "your",    "archives", "tidy",   "and",    "the",
                               "river", "Stones",  "quietly",  "of",     "old",    "owls",
                               "never", "sleeps",  "through",  "winter", "days",   "glass",
                               "Light", "MORNING", "falls",    "again",  "wisely", "dome"};
    std::mt19937 random(5);
    QStringList texts;
    texts.reserve(kFortunes);
    for (int i = 1; i <= kFortunes; ++i) {
        QString text = QStringLiteral("Fortune %1 says:").arg(i);
        for (int word = 0; word < 10; ++word) {
            text += word == 4 ? QStringLiteral("\r\n") : QStringLiteral(" ");
            if (random() % 100 == 0)
                text += word % 2 ? QStringLiteral("WISDOM") : QStringLiteral("wisdoms");
            else
                text += words[static_cast<qsizetype>(random() % words.size())];
        }
        texts.append(text);
    }
    return texts;
}

void WriteArchive(const QString& path, const QStringList& texts)
{
    QByteArray bytes = "Generated fortunes for the benchmark";
    for (const QString& text : texts)
        bytes += "\n%\n" + text.toLatin1();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

class NoToAll final : public zrv::desktop::IPromptResponder {
public:
    zrv::desktop::PromptAnswer Answer(const zrv::desktop::PromptRecord&, QWidget*) override
    {
        return {zrv::desktop::vbNo, {}};
    }
};

int Scan(const QStringList& texts, const QString& typed)
{
    int found = 0;
    for (const QString& text : texts)
        found += text.contains(typed, Qt::CaseInsensitive) ? 1 : 0;
    return found;
}

// The main window with the archive of Texts() open and the find bar shown.
class FindWindow final {
public:
    FindWindow() : texts(Texts()), main(environment.StartEditor())
    {
        zrv::desktop::SetPromptResponder(&mNo);
        const QString name = QStringLiteral("Bench");
        WriteArchive(environment.ArchivePath(name), texts);
        main->OpenArchive(name);
        main->Commands().Run(QStringLiteral("mnuEditFind"));
        mFind = main->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    }
    ~FindWindow() { zrv::desktop::SetPromptResponder(nullptr); }
    FindWindow(const FindWindow&) = delete;
    FindWindow& operator=(const FindWindow&) = delete;

    // Empties the bar, out of the timing.
    void Clear(benchmark::State& state) const
    {
        state.PauseTiming();
        mFind->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // The time from the bar's new text to the list painted.
    double Type(const QString& text) const
    {
        const Clock::time_point start = Clock::now();
        mFind->setText(text);
        benchmark::DoNotOptimize(main->List()->viewport()->grab());
        return Seconds(Clock::now() - start);
    }
    double ScanSeconds() const
    {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(Scan(texts, kTyped));
        return Seconds(Clock::now() - start);
    }

    const zrv::test::EditorTestEnvironment environment;
    const QStringList texts;
    const std::unique_ptr<frmMain> main;

private:
    NoToAll mNo;
    QLineEdit* mFind = nullptr;
};

void Report(benchmark::State& state, const char* name, double measured, double scanned)
{
    const double n = static_cast<double>(state.iterations());
    state.counters[name] = measured / n * 1e3;
    state.counters["scan_ms"] = scanned / n * 1e3;
    state.counters["ratio"] = scanned > 0 ? measured / scanned : 0;
}

// The whole text given at once, as a paste into the bar does.
void BM_FindInFortunes(benchmark::State& state)
{
    const FindWindow window;
    const int expected = Scan(window.texts, kTyped);
    double finding = 0;
    double scanning = 0;
    for (auto _ : state) {
        window.Clear(state);
        finding += window.Type(kTyped);
        if (window.main->RowCount() != expected)
            state.SkipWithError("the find listed the wrong rows");
        scanning += window.ScanSeconds();
    }
    state.counters["rows"] = expected;
    Report(state, "find_ms", finding, scanning);
}
BENCHMARK(BM_FindInFortunes)->Unit(benchmark::kMillisecond)->Iterations(20);

// The text typed a letter at a time: the slowest keystroke of each run.
void BM_TypeInFortunes(benchmark::State& state)
{
    const FindWindow window;
    double slowest = 0;
    double scanning = 0;
    for (auto _ : state) {
        window.Clear(state);
        double slowestKey = 0;
        for (qsizetype typed = 1; typed <= kTyped.size(); ++typed)
            slowestKey = std::max(slowestKey, window.Type(kTyped.left(typed)));
        slowest += slowestKey;
        scanning += window.ScanSeconds();
    }
    Report(state, "slowest_key_ms", slowest, scanning);
}
BENCHMARK(BM_TypeInFortunes)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

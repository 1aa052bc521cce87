// Archive engine on a generated archive of 100,000 fortunes (about 6 MB), and
// batch deletion and its undo on one of 10,000.
// Every benchmark times its baseline in the same iterations and reports
// "ratio" = engine time / baseline time, plus both times per iteration.
#include "bench/ScanBaseline.h"
#include "engine/CArchive.h"
#include "engine/CSeparatorScanner.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFortunes = 100000;

// A private folder holding the generated archive, removed at exit.
class Workspace final {
public:
    Workspace()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zrvbench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_folder = pattern;
        m_original = Generate(kFortunes);
        m_small = Generate(kFortunes / 10);
    }
    ~Workspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // A fresh copy of the generated archive under `name`.
    std::string Fresh(const std::string& name) const
    {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << m_original;
        return path;
    }
    // A fresh copy of the 10,000-fortune archive under `name`.
    std::string FreshSmall(const std::string& name) const
    {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << m_small;
        return path;
    }
    const std::string& Folder() const { return m_folder; }
    const std::string& Original() const { return m_original; }
    size_t SmallSize() const { return m_small.size(); }

private:
    static std::string Generate(int fortunes)
    {
        std::mt19937 random(42);
        const char* words[] = {"the",    "early",  "bird", "catches", "worm",
                               "look",   "before", "you",  "leap",    "a",
                               "stitch", "in",     "time", "saves",   "nine"};
        std::string bytes = "Generated proverbs\r\nfor the benchmarks";
        for (int i = 0; i < fortunes; ++i) {
            bytes += "\n%\n";
            const int lines = 1 + static_cast<int>(random() % 3);
            for (int line = 0; line < lines; ++line) {
                if (line > 0)
                    bytes += "\r\n";
                const int count = 3 + static_cast<int>(random() % 6);
                for (int w = 0; w < count; ++w) {
                    bytes += words[random() % std::size(words)];
                    bytes += w + 1 < count ? " " : ".";
                }
            }
        }
        return bytes;
    }

    std::string m_folder;
    std::string m_original;
    std::string m_small;
};

const Workspace& Space()
{
    static const Workspace space;
    return space;
}

template <typename F> double Seconds(F&& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Both sides timed in the same iterations; the benchmark's own time is the engine's.
class Pair final {
public:
    void Add(benchmark::State& state, double engine, double baseline)
    {
        m_engine += engine;
        m_baseline += baseline;
        state.SetIterationTime(engine);
    }
    void Report(benchmark::State& state) const
    {
        const auto n = static_cast<double>(state.iterations());
        state.counters["ratio"] = m_engine / m_baseline;
        state.counters["engine_us"] = m_engine / n * 1e6;
        state.counters["baseline_us"] = m_baseline / n * 1e6;
    }

private:
    double m_engine = 0;
    double m_baseline = 0;
};

// Copies the file through a temporary file with the fsyncs of a rewrite.
void CopyDurably(const std::string& from, const std::string& folder)
{
    const std::string temporary = from + ".copy";
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> block(size_t{1} << 20);
    for (ssize_t got; (got = ::read(in, block.data(), block.size())) > 0;)
        benchmark::DoNotOptimize(::write(out, block.data(), static_cast<size_t>(got)));
    ::fsync(out);
    ::close(out);
    ::close(in);
    ::rename(temporary.c_str(), (from + ".copied").c_str());
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(dir);
    ::close(dir);
}

// Times `engine` and then `baseline` in every iteration.
template <typename Engine, typename Baseline>
void Paired(benchmark::State& state, Engine&& engine, Baseline&& baseline)
{
    Pair pair;
    for (auto _ : state) {
        const double engineTime = Seconds(engine);
        const double baselineTime = Seconds(baseline);
        pair.Add(state, engineTime, baselineTime);
    }
    pair.Report(state);
}

void Load(benchmark::State& state)
{
    const std::string path = Space().Fresh("load");
    Paired(
        state,
        [&] {
            zrv::CArchive archive;
            archive.Load(path);
            if (archive.Count() != kFortunes)
                state.SkipWithError("wrong count");
        },
        [&] { benchmark::DoNotOptimize(zrv::bench::CountLineFeeds(path)); });
}

// Start offset of every fortune of the file and, at the end, its size.
std::vector<int64_t> FortuneBounds()
{
    const std::string bytes = Space().Original();
    zrv::CSeparatorScanner scanner;
    scanner.Feed(bytes.data(), bytes.size());
    std::vector<int64_t> bounds = scanner.TakeOffsets();
    bounds.push_back(static_cast<int64_t>(bytes.size()) + 3);
    return bounds;
}

void ItemRandom(benchmark::State& state)
{
    const std::string path = Space().Fresh("item");
    const std::vector<int64_t> bounds = FortuneBounds();
    zrv::CArchive archive;
    archive.Load(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::mt19937 random(1);
    std::vector<char> bytes(1 << 16);
    int32_t index = 0;
    Paired(
        state,
        [&] {
            index = static_cast<int32_t>(1 + random() % kFortunes);
            benchmark::DoNotOptimize(archive.Item(index));
        },
        // One positioned read of the fortune's stored bytes from an open descriptor.
        [&] {
            const int64_t start = bounds[static_cast<size_t>(index - 1)];
            const int64_t end = bounds[static_cast<size_t>(index)] - 3;
            benchmark::DoNotOptimize(
                ::pread(fd, bytes.data(), static_cast<size_t>(end - start), start));
        });
    ::close(fd);
}

void DeleteOne(benchmark::State& state)
{
    const std::string path = Space().Fresh("delete");
    zrv::CArchive archive;
    archive.Load(path);
    std::mt19937 random(2);
    Paired(
        state, [&] { archive.Delete(static_cast<int32_t>(1 + random() % (kFortunes / 2))); },
        [&] { CopyDurably(path, Space().Folder()); });
}

// Opens the file for appending, writes the bytes, syncs and closes it.
void AppendDurably(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
}

// One Add to a 100,000-fortune archive against a durable append of the same
// bytes to another file: the cost must not grow with the archive.
void AddOne(benchmark::State& state)
{
    const std::string path = Space().Fresh("add");
    const std::string other = Space().Fresh("append");
    zrv::CArchive archive;
    archive.Load(path);
    const std::string text = "One more\r\nfortune.";
    Paired(
        state, [&] { archive.Add(text); }, [&] { AppendDurably(other, "\n%\n" + text); });
    if (archive.Count() != kFortunes + static_cast<int32_t>(state.iterations()))
        state.SkipWithError("wrong count after the adds");
}

// Every tenth fortune of 10,000, from the fourth.
std::vector<int32_t> ScatteredThousand()
{
    std::vector<int32_t> indexes;
    for (int32_t i = 1; i <= kFortunes / 10; i += 10)
        indexes.push_back(i + 3);
    return indexes;
}

// In every iteration a fresh copy of the 10,000-fortune archive `name` is
// loaded and `prepare`d untimed; then `change` is timed against one durable
// copy of the file it leaves.
template <typename Prepare, typename Change>
void OnFreshSmall(benchmark::State& state, zrv::CArchive& archive, const std::string& name,
                  Prepare&& prepare, Change&& change)
{
    Pair pair;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = Space().FreshSmall(name);
        archive.Load(path);
        prepare();
        state.ResumeTiming();
        const double engine = Seconds(change);
        const double baseline = Seconds([&] { CopyDurably(path, Space().Folder()); });
        pair.Add(state, engine, baseline);
    }
    pair.Report(state);
}

// Deleting 1,000 scattered fortunes of 10,000 in one call against one
// durable copy of the archive file.
void DeleteThousandOfTenThousand(benchmark::State& state)
{
    const std::vector<int32_t> indexes = ScatteredThousand();
    zrv::CArchive archive;
    OnFreshSmall(
        state, archive, "batch", [] {}, [&] { archive.DeleteMany(indexes); });
    if (archive.Count() != kFortunes / 10 - 1000)
        state.SkipWithError("wrong count after the deletion");
}

// The undo of that deletion: the 1,000 texts put back at their indexes in a
// 9,000-fortune archive in one call, against one durable copy of the
// restored archive file.
void UndoDeleteThousandOfTenThousand(benchmark::State& state)
{
    const std::vector<int32_t> indexes = ScatteredThousand();
    std::vector<std::string> texts;
    zrv::CArchive archive;
    const auto deleteThem = [&] {
        const zrv::CArchiveSnapshot snapshot = archive.Snapshot();
        texts.clear();
        for (const int32_t index : indexes)
            texts.emplace_back(snapshot.Stored(index));
        archive.DeleteMany(indexes);
    };
    OnFreshSmall(state, archive, "undo", deleteThem,
                 [&] { archive.InsertMany(indexes, texts, zrv::CArchive::AddMode::Exact); });
    if (archive.Count() != kFortunes / 10 ||
        std::filesystem::file_size(Space().Folder() + "/undo") != Space().SmallSize())
        state.SkipWithError("the archive was not restored");
}

// Header and every text of 100,000 fortunes read with one check of the file,
// against a read() + memchr scan of it.
void SnapshotAll(benchmark::State& state)
{
    const std::string path = Space().Fresh("snapshot");
    zrv::CArchive archive;
    archive.Load(path);
    Paired(
        state,
        [&] {
            const zrv::CArchiveSnapshot snapshot = archive.Snapshot();
            for (int32_t i = 1; i <= snapshot.Count(); ++i)
                benchmark::DoNotOptimize(snapshot.Stored(i));
            if (snapshot.Count() != kFortunes)
                state.SkipWithError("wrong count");
        },
        [&] { benchmark::DoNotOptimize(zrv::bench::CountLineFeeds(path)); });
}

} // namespace

BENCHMARK(Load)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ItemRandom)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(DeleteOne)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(AddOne)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(DeleteThousandOfTenThousand)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(UndoDeleteThousandOfTenThousand)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(SnapshotAll)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();

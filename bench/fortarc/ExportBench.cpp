// fortarc export-fortune and import-fortune against strfile, all timed as
// whole programs on 100,000 fortunes in the same iterations:
// - export of an archive against strfile indexing the exported file; "ratio"
//   is strfile time / fortarc time (above 1: the export, which also writes
//   the text, is the faster);
// - import of that fortune file into a new archive against strfile indexing
//   it; "ratio" is fortarc time / strfile time.

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kFortunes = 100000;

// Runs a program to its end; its seconds, or an exception when it fails.
double RunProgram(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    return std::chrono::duration<double>(end - start).count();
}

// Fortunes of one to five lines, 40 to 300 bytes, as the fortune files of
// Debian have them (56 to 204 bytes on average).
std::string MakeArchive()
{
    std::mt19937 random(14);
    std::uniform_int_distribution<int> lines(1, 5);
    std::uniform_int_distribution<int> words(3, 11);
    std::uniform_int_distribution<int> letters(2, 8);
    std::string archive = "Benchmark archive";
    for (int i = 0; i < kFortunes; ++i) {
        archive += "\n%\n";
        const int n = lines(random);
        for (int line = 0; line < n; ++line) {
            if (line > 0)
                archive += "\r\n";
            const int w = words(random);
            for (int word = 0; word < w; ++word) {
                if (word > 0)
                    archive += ' ';
                archive.append(static_cast<size_t>(letters(random)),
                               static_cast<char>('a' + (i + word) % 26));
            }
        }
    }
    return archive;
}

struct Setup {
    std::string folder;
    std::string archive;
    std::string exported;

    Setup()
    {
        char pattern[] = "/tmp/bench_fortarc.XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        folder = pattern;
        // A private registry: the component is registered from the build tree.
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (folder + "/xdg").c_str(), 1);
        RunProgram({REGSVR_PROGRAM, FORTUNE_LIBRARY});
        archive = folder + "/Bench";
        std::ofstream(archive, std::ios::binary) << MakeArchive();
        exported = folder + "/out/Bench";
        RunProgram({"/bin/mkdir", folder + "/out"});
        RunProgram({FORTARC_PROGRAM, "export-fortune", archive, folder + "/out"});
        RunProgram({STRFILE_PROGRAM, "-s", exported, exported + ".check"});
        if (!SameBytes(exported + ".dat", exported + ".check"))
            throw std::runtime_error("the index differs from strfile's");
    }
    ~Setup() { RunProgram({"/bin/rm", "-rf", folder}); }

    static bool SameBytes(const std::string& a, const std::string& b)
    {
        std::ostringstream first;
        std::ostringstream second;
        first << std::ifstream(a, std::ios::binary).rdbuf();
        second << std::ifstream(b, std::ios::binary).rdbuf();
        return first.str() == second.str();
    }
};

// Both programs' mean times and the goal's ratio between them.
void ReportTimes(benchmark::State& state, double fortarc, double strfile, double ratio)
{
    state.counters["fortarc_ms"] =
        benchmark::Counter(fortarc * 1000, benchmark::Counter::kAvgIterations);
    state.counters["strfile_ms"] =
        benchmark::Counter(strfile * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = ratio;
}

void BM_ExportVsStrfile(benchmark::State& state)
{
    static const Setup setup;
    const std::string out = setup.folder + "/out";
    double fortarc = 0;
    double strfile = 0;
    for (auto _ : state) {
        const double exportTime =
            RunProgram({FORTARC_PROGRAM, "export-fortune", setup.archive, out});
        const double indexTime =
            RunProgram({STRFILE_PROGRAM, "-s", setup.exported, setup.exported + ".check"});
        fortarc += exportTime;
        strfile += indexTime;
        state.SetIterationTime(exportTime);
    }
    ReportTimes(state, fortarc, strfile, strfile / fortarc);
}
BENCHMARK(BM_ExportVsStrfile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ImportVsStrfile(benchmark::State& state)
{
    static const Setup setup;
    const std::string target = setup.folder + "/Imported";
    double fortarc = 0;
    double strfile = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(target, std::ios::binary | std::ios::trunc).flush();
        state.ResumeTiming();
        const double importTime =
            RunProgram({FORTARC_PROGRAM, "import-fortune", setup.exported, target});
        const double indexTime =
            RunProgram({STRFILE_PROGRAM, "-s", setup.exported, setup.exported + ".check"});
        fortarc += importTime;
        strfile += indexTime;
        state.SetIterationTime(importTime);
    }
    ReportTimes(state, fortarc, strfile, fortarc / strfile);
}
BENCHMARK(BM_ImportVsStrfile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();

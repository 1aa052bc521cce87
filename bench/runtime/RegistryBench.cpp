// Open a key, read one value and close it, 1,000 times; the baseline opens
// and reads one small file 1,000 times in the same run. The counter "ratio"
// is registry time over baseline time.

#include "runtime/registry/WinReg.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

constexpr int Rounds = 1000;
const char* const KeyPath = "Software\\Zorva Software\\fortedit\\Settings";

using Clock = std::chrono::steady_clock;

// Temporary hive folders and a small file, so the user's hives stay untouched.
class CBenchHome final {
public:
    CBenchHome()
    {
        char pattern[] = "/tmp/zrvbench-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        m_root = pattern;
        setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (m_root + "/xdg").c_str(), 1);
        m_file = m_root + "/small.txt";
        const int fd = open(m_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        static_cast<void>(write(fd, "1440\n", 5));
        close(fd);
        HKEY key = 0;
        RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, "MainLeft", 0, REG_SZ, reinterpret_cast<const BYTE*>("1440"), 5);
        RegCloseKey(key);
    }
    ~CBenchHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    CBenchHome(const CBenchHome&) = delete;
    CBenchHome& operator=(const CBenchHome&) = delete;

    const std::string& File() const { return m_file; }

private:
    std::string m_root;
    std::string m_file;
};

void ReadFileRounds(const std::string& path)
{
    char buffer[64];
    for (int i = 0; i < Rounds; ++i) {
        const int fd = open(path.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(read(fd, buffer, sizeof buffer));
        close(fd);
    }
}

void ReadRegistryRounds()
{
    char buffer[255];
    for (int i = 0; i < Rounds; ++i) {
        HKEY key = 0;
        DWORD size = sizeof buffer;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS ||
            RegQueryValueExA(key, "MainLeft", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS)
            std::abort();
        RegCloseKey(key);
    }
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void BM_FileOpenRead1000(benchmark::State& state)
{
    const CBenchHome home;
    for (auto _ : state)
        ReadFileRounds(home.File());
}

void BM_RegistryOpenReadClose1000(benchmark::State& state)
{
    const CBenchHome home;
    double registry = 0;
    double baseline = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        ReadFileRounds(home.File());
        const auto middle = Clock::now();
        ReadRegistryRounds();
        const auto end = Clock::now();
        baseline += Seconds(middle - start);
        registry += Seconds(end - middle);
        state.SetIterationTime(Seconds(end - middle));
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["baseline_us"] = baseline / iterations * 1e6;
    state.counters["ratio"] = registry / baseline;
}

} // namespace

BENCHMARK(BM_FileOpenRead1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegistryOpenReadClose1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

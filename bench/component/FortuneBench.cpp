// Count and Item through IFortune (library loaded with dlopen, calls through
// the v-table, BSTR results) against the same engine operations called
// directly. Prints each pair's time ratio, measured in the same run.

#include "component/IFortune.h"
#include "engine/CArchive.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFortunes = 200;

// A private folder holding one archive of kFortunes fortunes; removed at the end.
class BenchArchive final {
public:
    BenchArchive()
    {
        char pattern[] = "/tmp/zrvbench-XXXXXX";
        if (const char* made = mkdtemp(pattern))
            m_folder = made;
        m_file = m_folder + "/Proverbs";
        std::ofstream out(m_file, std::ios::binary);
        out << "Proverbs";
        for (int i = 1; i <= kFortunes; ++i)
            out << "\n%\nFortune number " << i << ",\r\nwith a second line of some length.";
    }
    ~BenchArchive()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    BenchArchive(const BenchArchive&) = delete;
    BenchArchive& operator=(const BenchArchive&) = delete;

    const std::string& File() const { return m_file; }

private:
    std::string m_folder;
    std::string m_file;
};

const BenchArchive& Archive()
{
    static const BenchArchive archive;
    return archive;
}

// A Fortune object from the library file, loaded on the archive.
ComPtr<IFortune> OpenFortune()
{
    using GetClassObjectFn = HRESULT (*)(const GUID*, const GUID*, void**);
    static void* const library = dlopen(ZRVFORT_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto getClassObject =
        library ? reinterpret_cast<GetClassObjectFn>(dlsym(library, "DllGetClassObject")) : nullptr;
    ComPtr<IClassFactory> factory;
    ComPtr<IFortune> fortune;
    if (!getClassObject ||
        getClassObject(&CLSID_Fortune, &IID_IClassFactory, factory.putVoid()) != S_OK ||
        factory->CreateInstance(nullptr, IID_IFortune, fortune.putVoid()) != S_OK)
        return {};
    const std::string& file = Archive().File();
    fortune->Load(BString(std::u16string(file.begin(), file.end())).get());
    return fortune;
}

void EngineCount(benchmark::State& state)
{
    zrv::CArchive archive;
    archive.Load(Archive().File());
    for (auto _ : state)
        benchmark::DoNotOptimize(archive.Count());
}

void FortuneCount(benchmark::State& state)
{
    const ComPtr<IFortune> fortune = OpenFortune();
    if (!fortune)
        return state.SkipWithError("cannot create a Fortune object");
    for (auto _ : state) {
        LONG count = 0;
        fortune->Count(&count);
        benchmark::DoNotOptimize(count);
    }
}

void EngineItem(benchmark::State& state)
{
    zrv::CArchive archive;
    archive.Load(Archive().File());
    int32_t index = 0;
    for (auto _ : state) {
        index = index % kFortunes + 1;
        benchmark::DoNotOptimize(archive.Item(index));
    }
}

void FortuneItem(benchmark::State& state)
{
    const ComPtr<IFortune> fortune = OpenFortune();
    if (!fortune)
        return state.SkipWithError("cannot create a Fortune object");
    LONG index = 0;
    for (auto _ : state) {
        index = index % kFortunes + 1;
        BString text;
        fortune->get_Item(index, text.put());
        benchmark::DoNotOptimize(text.get());
    }
}

BENCHMARK(EngineCount);
BENCHMARK(FortuneCount);
BENCHMARK(EngineItem);
BENCHMARK(FortuneItem);

// Console output plus each benchmark's time per iteration, for the ratios.
// With repetitions the medians are compared.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred)
                times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }
    struct Times {
        double real = 0;
        double cpu = 0;
    };

    Times TimeOf(const std::string& name) const
    {
        for (const std::string& key : {name + "_median", name}) {
            if (const auto found = times.find(key); found != times.end())
                return found->second;
        }
        return {};
    }

    std::map<std::string, Times> times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* operation : {"Count", "Item"}) {
        const auto engine = reporter.TimeOf(std::string("Engine") + operation);
        const auto fortune = reporter.TimeOf(std::string("Fortune") + operation);
        if (engine.real > 0 && engine.cpu > 0)
            std::printf("%s through IFortune / engine: %.2fx real (%.0f vs %.0f ns), "
                        "%.2fx CPU (%.0f vs %.0f ns)\n",
                        operation, fortune.real / engine.real, fortune.real, engine.real,
                        fortune.cpu / engine.cpu, fortune.cpu, engine.cpu);
    }
    benchmark::Shutdown();
    return 0;
}

// The spreadsheet application as the editor drives it, through IDispatch
// (names looked up on every call, as a late-bound caller does):
// - export of 10,000 fortunes including presentation (the xlsx written, the
//   shell asked to open it) against libxlsxwriter writing the same file;
// - reading column A of a 10,000-row xlsx with Workbooks.Open and
//   Range.Value (the file parsed by the reader program) against liborcus
//   loading the file in-process;
// - the reader program's start, lockdown, answer and end for a tiny file
//   against starting and ending /bin/true.
// Prints each pair's time ratio, measured in the same run.

#include "desktop/ShellExecute.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"
#include "sheet/automation/SheetDispatchIds.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xlsxwriter.h>

namespace {

constexpr int kFortunes = 10000;

// A private home (documents folder), a display, a stand-in xdg-mime and a
// shell that opens nothing; removed at the end.
class BenchHome final : public zrv::desktop::IShellExecutor {
public:
    BenchHome()
    {
        char pattern[] = "/tmp/zrvsheetbench-XXXXXX";
        if (const char* made = mkdtemp(pattern))
            m_root = made;
        setenv("HOME", m_root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        setenv("DISPLAY", ":99", 1);
        std::filesystem::create_directories(m_root + "/bin");
        std::ofstream(m_root + "/bin/xdg-mime") << "#!/bin/sh\necho calc.desktop\n";
        std::filesystem::permissions(m_root + "/bin/xdg-mime", std::filesystem::perms::owner_all);
        const std::string path = m_root + "/bin:" + (getenv("PATH") ? getenv("PATH") : "/bin");
        setenv("PATH", path.c_str(), 1);
        zrv::desktop::SetShellExecutor(this);
        for (int i = 1; i <= kFortunes; ++i)
            m_fortunes.push_back(std::u16string(u"Fortune number ")
                                     .append(Number(i))
                                     .append(u",\r\nwith a second line of some length."));
    }
    ~BenchHome() override
    {
        zrv::desktop::SetShellExecutor(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    zrv::desktop::HINSTANCE Execute(const zrv::desktop::ShellRequest&) override
    {
        ++opened;
        return zrv::desktop::kShellSuccess;
    }

    static std::u16string Number(int n)
    {
        const std::string text = std::to_string(n);
        return std::u16string(text.begin(), text.end());
    }
    // "A" followed by the row number.
    static std::u16string CellA(int row)
    {
        std::u16string address = u"A";
        address += Number(row);
        return address;
    }

    std::string Documents() const { return m_root + "/Documents"; }
    std::string Root() const { return m_root; }
    const std::vector<std::u16string>& Fortunes() const { return m_fortunes; }

    int opened = 0;

private:
    std::string m_root;
    std::vector<std::u16string> m_fortunes;
};

BenchHome& Home()
{
    static BenchHome home;
    return home;
}

ComPtr<IDispatch> CreateApplication()
{
    using GetClassObjectFn = HRESULT (*)(const GUID*, const GUID*, void**);
    static void* const library = dlopen(ZRVSHEET_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto getClassObject =
        library ? reinterpret_cast<GetClassObjectFn>(dlsym(library, "DllGetClassObject")) : nullptr;
    constexpr CLSID clsid = {
        0xEABFD427, 0x9ED5, 0x4BC0, {0xBA, 0xB3, 0x28, 0x13, 0x56, 0xF4, 0xFD, 0xA8}};
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> application;
    if (!getClassObject || getClassObject(&clsid, &IID_IClassFactory, factory.putVoid()) != S_OK ||
        factory->CreateInstance(nullptr, IID_IDispatch, application.putVoid()) != S_OK)
        return {};
    return application;
}

VARIANT Text(const std::u16string& text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

VARIANT Number(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// One late-bound call: by id, or by name (looked up first); args in the
// caller's order, consumed. The result goes to result when given.
HRESULT Call(IDispatch* object, DISPID id, const char16_t* name, WORD flags,
             std::vector<VARIANT> args, VARIANT* result = nullptr)
{
    if (name) {
        std::u16string copy(name);
        OLECHAR* names[] = {copy.data()};
        if (object->GetIDsOfNames(IID_NULL, names, 1, 0, &id) != S_OK)
            return DISP_E_UNKNOWNNAME;
    }
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()),
                      put ? 1u : 0u};
    const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
    for (VARIANT& arg : reversed)
        VariantClear(&arg);
    return hr;
}

ComPtr<IDispatch> GetObject(IDispatch* object, DISPID id, const char16_t* name,
                            std::vector<VARIANT> args = {})
{
    VARIANT result;
    VariantInit(&result);
    if (Call(object, id, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), &result) !=
            S_OK ||
        result.vt != VT_DISPATCH) {
        VariantClear(&result);
        return {};
    }
    return ComPtr<IDispatch>::attach(result.pdispVal);
}

constexpr WORD kPut = DISPATCH_PROPERTYPUT;

// The editor's export sequence; true when every call worked.
bool ExportThroughDispatch()
{
    const ComPtr<IDispatch> application = CreateApplication();
    if (!application)
        return false;
    VARIANT yes;
    VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    bool ok = Call(application.get(), DISPID_XL_SHEETS_IN_NEW_WORKBOOK, nullptr, kPut,
                   {Number(1)}) == S_OK &&
              Call(application.get(), DISPID_XL_SCREEN_UPDATING, nullptr, kPut, {yes}) == S_OK &&
              Call(application.get(), DISPID_XL_INTERACTIVE, nullptr, kPut, {yes}) == S_OK &&
              Call(application.get(), DISPID_XL_VISIBLE, nullptr, kPut, {yes}) == S_OK;
    const ComPtr<IDispatch> books = GetObject(application.get(), DISPID_XL_WORKBOOKS, nullptr);
    ok = ok && books && GetObject(books.get(), 0, u"Add");
    const ComPtr<IDispatch> sheet = GetObject(application.get(), DISPID_XL_ACTIVE_SHEET, nullptr);
    if (!ok || !sheet)
        return false;
    const std::vector<std::u16string>& fortunes = Home().Fortunes();
    for (int r = 1; r <= kFortunes; ++r) {
        const ComPtr<IDispatch> cell =
            GetObject(sheet.get(), DISPID_XL_RANGE, nullptr, {Text(BenchHome::CellA(r))});
        const ComPtr<IDispatch> row = GetObject(sheet.get(), DISPID_XL_ROWS, nullptr, {Number(r)});
        ok = ok && cell && row &&
             Call(cell.get(), 0, u"Value", kPut, {Text(fortunes[static_cast<size_t>(r - 1)])}) ==
                 S_OK &&
             Call(row.get(), 0, u"RowHeight", kPut, {Number(30)}) == S_OK;
    }
    const ComPtr<IDispatch> column =
        GetObject(sheet.get(), DISPID_XL_COLUMNS, nullptr, {Text(u"A")});
    ok = ok && column && Call(column.get(), 0, u"Select", DISPATCH_METHOD, {}) == S_OK;
    const ComPtr<IDispatch> selection = GetObject(application.get(), DISPID_XL_SELECTION, nullptr);
    ok = ok && selection && Call(selection.get(), 0, u"ColumnWidth", kPut, {Number(60)}) == S_OK;
    const ComPtr<IDispatch> b1 = GetObject(sheet.get(), DISPID_XL_RANGE, nullptr, {Text(u"B1")});
    return ok && b1 && Call(b1.get(), 0, u"Activate", DISPATCH_METHOD, {}) == S_OK;
}

std::string FileText(const std::u16string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        bytes += static_cast<char>(text[i]); // ASCII texts
    }
    return bytes;
}

bool WriteDirectly(const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    const std::vector<std::u16string>& fortunes = Home().Fortunes();
    for (int r = 0; r < kFortunes; ++r) {
        worksheet_write_string(sheet, static_cast<lxw_row_t>(r), 0,
                               FileText(fortunes[static_cast<size_t>(r)]).c_str(), nullptr);
        worksheet_set_row(sheet, static_cast<lxw_row_t>(r), 30, nullptr);
    }
    worksheet_set_column(sheet, 0, 0, 60, nullptr);
    worksheet_set_selection(sheet, 0, 1, 0, 1);
    return workbook_close(workbook) == LXW_NO_ERROR;
}

void ExportDirect(benchmark::State& state)
{
    const std::string path = Home().Root() + "/direct.xlsx";
    for (auto _ : state) {
        if (!WriteDirectly(path))
            return state.SkipWithError("libxlsxwriter failed");
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
}

void ExportThroughApplication(benchmark::State& state)
{
    const std::string book = Home().Documents() + "/Book1.xlsx";
    for (auto _ : state) {
        const int opened = Home().opened;
        if (!ExportThroughDispatch() || Home().opened != opened + 1 ||
            !std::filesystem::exists(book))
            return state.SkipWithError("the export through IDispatch failed");
        state.PauseTiming();
        std::filesystem::remove(book);
        state.ResumeTiming();
    }
}

const std::string& InputFile()
{
    static const std::string path = [] {
        const std::string file = Home().Root() + "/input.xlsx";
        WriteDirectly(file);
        return file;
    }();
    return path;
}

void ReadDirect(benchmark::State& state)
{
    for (auto _ : state) {
        orcus::spreadsheet::document document({1048576, 16384});
        orcus::spreadsheet::import_factory factory(document);
        orcus::orcus_xlsx loader(&factory);
        loader.read_file(InputFile());
        benchmark::DoNotOptimize(document.get_sheet_count());
    }
}

void ReadThroughApplication(benchmark::State& state)
{
    const ComPtr<IDispatch> application = CreateApplication();
    const ComPtr<IDispatch> books = application
                                        ? GetObject(application.get(), DISPID_XL_WORKBOOKS, nullptr)
                                        : ComPtr<IDispatch>();
    if (!books)
        return state.SkipWithError("no application");
    const std::u16string path(InputFile().begin(), InputFile().end());
    for (auto _ : state) {
        const ComPtr<IDispatch> book = GetObject(books.get(), 0, u"Open", {Text(path)});
        const ComPtr<IDispatch> sheet =
            GetObject(application.get(), DISPID_XL_ACTIVE_SHEET, nullptr);
        if (!book || !sheet)
            return state.SkipWithError("Open failed");
        int rows = 0;
        for (int n = 1;; ++n) {
            const ComPtr<IDispatch> cell =
                GetObject(sheet.get(), DISPID_XL_RANGE, nullptr, {Text(BenchHome::CellA(n))});
            VARIANT value;
            VariantInit(&value);
            if (!cell || Call(cell.get(), 0, u"Value", DISPATCH_PROPERTYGET, {}, &value) != S_OK)
                return state.SkipWithError("Value failed");
            const bool empty = value.vt != VT_BSTR || SysStringLen(value.bstrVal) == 0;
            VariantClear(&value);
            if (empty)
                break;
            ++rows;
        }
        if (rows != kFortunes)
            return state.SkipWithError("wrong number of rows");
        Call(book.get(), DISPID_XL_CLOSE, nullptr, DISPATCH_METHOD, {});
    }
}

// Runs the program with the file as its standard input and its standard
// output into a pipe read to the end; true when it exits with status 0.
bool RunWithInput(const char* program, const std::vector<std::string>& arguments, int input)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    char* environment[] = {nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    char buffer[4096];
    while (failed == 0 && read(ends[0], buffer, sizeof buffer) > 0) {
    }
    close(ends[0]);
    int status = 1;
    if (failed == 0)
        waitpid(pid, &status, 0);
    return failed == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void StartProgram(benchmark::State& state, const char* program,
                  const std::vector<std::string>& arguments)
{
    const std::string file = Home().Root() + "/tiny.csv";
    std::ofstream(file) << "a,b\n";
    for (auto _ : state) {
        const int input = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const bool ran = RunWithInput(program, arguments, input);
        close(input);
        if (!ran)
            return state.SkipWithError("the program failed");
    }
}

void StartTrue(benchmark::State& state)
{
    StartProgram(state, "/bin/true", {});
}

void StartReader(benchmark::State& state)
{
    StartProgram(state, ZRVSHEET_READER_PATH, {"4", "3072", "31"});
}

BENCHMARK(ExportDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportThroughApplication)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadThroughApplication)->Unit(benchmark::kMillisecond);
BENCHMARK(StartTrue)->Unit(benchmark::kMillisecond);
BENCHMARK(StartReader)->Unit(benchmark::kMillisecond);

// Console output plus each benchmark's time per iteration, for the ratios.
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
    Home();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const struct {
        const char* what;
        const char* ours;
        const char* baseline;
        double goal;
    } pairs[] = {
        {"Export of 10,000 fortunes with presentation / libxlsxwriter", "ExportThroughApplication",
         "ExportDirect", 2.0},
        {"Open + Range.Value of column A / liborcus load", "ReadThroughApplication", "ReadDirect",
         1.6},
    };
    for (const auto& pair : pairs) {
        const auto ours = reporter.TimeOf(pair.ours);
        const auto baseline = reporter.TimeOf(pair.baseline);
        if (baseline.real > 0 && baseline.cpu > 0)
            std::printf("%s: %.2fx real (%.1f vs %.1f ms), %.2fx CPU (%.1f vs %.1f ms); "
                        "goal <= %.1fx\n",
                        pair.what, ours.real / baseline.real, ours.real, baseline.real,
                        ours.cpu / baseline.cpu, ours.cpu, baseline.cpu, pair.goal);
    }
    // The reader's own work happens in another process: only wall time tells.
    const auto reader = reporter.TimeOf("StartReader");
    const auto program = reporter.TimeOf("StartTrue");
    if (program.real > 0)
        std::printf("Reader start, lockdown, answer and end: %.2f ms, %.2fx /bin/true (%.2f ms); "
                    "goal < 10 ms\n",
                    reader.real, reader.real / program.real, program.real);
    benchmark::Shutdown();
    return 0;
}

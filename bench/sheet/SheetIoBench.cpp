// The spreadsheet file layer on a 10,000-row xlsx (one fortune-like text per
// row in column A, as an export writes it). Each benchmark times its baseline
// in the same iterations and reports "ratio" = file layer / baseline.
//
// ReadColumnA: ReadWorkbookFile and the texts of A1..A10000, against
// liborcus loading the same file into its own document model and reading
// the same texts from it.
// WriteColumnA: WriteXlsxFile of that workbook (texts, row heights, column
// width, active cell) against libxlsxwriter writing the same directly.
#include "sheet/io/WorkbookFiles.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <ixion/address.hpp>
#include <ixion/model_context.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <random>
#include <stdexcept>
#include <string>
#include <xlsxwriter.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kRows = 10000;

std::string FortuneText(std::mt19937& random)
{
    const char* words[] = {"the",  "early", "bird",   "catches", "worm", "look",  "before", "you",
                           "leap", "a",     "stitch", "in",      "time", "saves", "nine"};
    std::string text;
    const int lines = 1 + static_cast<int>(random() % 3);
    for (int line = 0; line < lines; ++line) {
        if (line > 0)
            text += "\r\n";
        const int count = 3 + static_cast<int>(random() % 12);
        for (int w = 0; w < count; ++w) {
            text += words[random() % std::size(words)];
            text += w + 1 < count ? " " : ".";
        }
    }
    return text;
}

// A private folder holding the generated workbook, removed at exit.
class Workspace final {
public:
    Workspace()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zrvbench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_folder = pattern;
        zrv::sheet::WorkbookData& workbook = m_workbook;
        workbook.sheets.resize(1);
        zrv::sheet::SheetData& sheet = workbook.sheets[0];
        std::mt19937 random(42);
        for (uint32_t row = 1; row <= kRows; ++row) {
            zrv::sheet::CellData cell;
            cell.kind = zrv::sheet::CellKind::Text;
            cell.text = FortuneText(random);
            sheet.cells[{row, 1}] = cell;
            sheet.rowHeights[row] = 30;
        }
        sheet.columnWidths[1] = 60;
        sheet.activeCell = {1, 2};
        std::string error;
        if (!zrv::sheet::WriteXlsxFile(workbook, Path(), error))
            throw std::runtime_error(error);
    }
    ~Workspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    std::string Path() const { return m_folder + "/Book1.xlsx"; }
    const std::string& Folder() const { return m_folder; }
    const zrv::sheet::WorkbookData& Workbook() const { return m_workbook; }

private:
    std::string m_folder;
    zrv::sheet::WorkbookData m_workbook;
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

std::size_t ReadColumnAWithFileLayer(const std::string& path)
{
    std::string error;
    const auto workbook = zrv::sheet::ReadWorkbookFile(path, error);
    if (!workbook)
        throw std::runtime_error(error);
    const auto& cells = workbook->sheets[workbook->activeSheet].cells;
    std::size_t bytes = 0;
    for (uint32_t row = 1; row <= kRows; ++row)
        bytes += cells.at({row, 1}).text.size();
    return bytes;
}

std::size_t ReadColumnAWithOrcus(const std::string& path)
{
    orcus::spreadsheet::document document({1048576, 16384});
    orcus::spreadsheet::import_factory factory(document);
    orcus::orcus_xlsx loader(&factory);
    loader.read_file(path);
    const ixion::model_context& model = document.get_model_context();
    std::size_t bytes = 0;
    for (uint32_t row = 0; row < kRows; ++row)
        bytes += model.get_string_value(ixion::abs_address_t(0, static_cast<ixion::row_t>(row), 0))
                     .size();
    return bytes;
}

void ReadColumnA(benchmark::State& state)
{
    const std::string path = Space().Path();
    double layer = 0, baseline = 0;
    for (auto _ : state) {
        std::size_t fromLayer = 0, fromOrcus = 0;
        const double l = Seconds([&] { fromLayer = ReadColumnAWithFileLayer(path); });
        baseline += Seconds([&] { fromOrcus = ReadColumnAWithOrcus(path); });
        layer += l;
        state.SetIterationTime(l);
        // The model keeps CR LF where the file has LF: one byte more per line break.
        if (fromLayer < fromOrcus)
            state.SkipWithError("the file layer read less text than orcus");
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ratio"] = layer / baseline;
    state.counters["layer_ms"] = layer / n * 1e3;
    state.counters["baseline_ms"] = baseline / n * 1e3;
}

// What an export asks of the writer, straight through libxlsxwriter.
void WriteDirectly(const zrv::sheet::WorkbookData& workbook, const std::string& path)
{
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    for (const auto& [ref, cell] : workbook.sheets[0].cells) {
        std::string text = cell.text;
        for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.erase(at, 1);
        worksheet_write_string(sheet, ref.row - 1, static_cast<lxw_col_t>(ref.column - 1),
                               text.c_str(), nullptr);
        worksheet_set_row(sheet, ref.row - 1, 30, nullptr);
    }
    worksheet_set_column(sheet, 0, 0, 60, nullptr);
    worksheet_set_selection(sheet, 0, 1, 0, 1);
    if (workbook_close(book) != LXW_NO_ERROR)
        throw std::runtime_error("libxlsxwriter failed");
}

void WriteColumnA(benchmark::State& state)
{
    const Workspace& space = Space();
    double layer = 0, baseline = 0;
    int n = 0;
    for (auto _ : state) {
        const std::string ours = space.Folder() + "/ours" + std::to_string(n) + ".xlsx";
        const std::string direct = space.Folder() + "/direct" + std::to_string(n++) + ".xlsx";
        std::string error;
        const double l = Seconds([&] {
            if (!zrv::sheet::WriteXlsxFile(space.Workbook(), ours, error))
                state.SkipWithError(error.c_str());
        });
        baseline += Seconds([&] { WriteDirectly(space.Workbook(), direct); });
        layer += l;
        state.SetIterationTime(l);
        std::filesystem::remove(ours);
        std::filesystem::remove(direct);
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["ratio"] = layer / baseline;
    state.counters["layer_ms"] = layer / iterations * 1e3;
    state.counters["baseline_ms"] = baseline / iterations * 1e3;
}

} // namespace

BENCHMARK(WriteColumnA)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReadColumnA)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();

// The spreadsheet readers on outside input: any bytes are read or refused
// with a one-line reason, within the limits; never a crash, hang or runaway
// allocation. Built once per format (ZRV_FUZZ_FORMAT_xlsx, _xls, _ods, _csv).
//
// xlsx and ods: an input starting with "PK" is taken as the whole file; any
// other input is split at NUL bytes into the XML parts of a package the
// target builds around them (so the XML parsers are reached past the zip
// checksums): xlsx sheet, shared strings, workbook; ods content, settings.

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/io/WorkbookLimits.h"
#include "tests/sheet/io/ZipFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace zrv::sheet;

#if defined(ZRV_FUZZ_FORMAT_xlsx) || defined(ZRV_FUZZ_FORMAT_ods)
std::vector<std::string> Parts(std::string_view data, std::size_t count)
{
    std::vector<std::string> parts;
    while (parts.size() + 1 < count) {
        const auto nul = data.find('\0');
        if (nul == std::string_view::npos)
            break;
        parts.emplace_back(data.substr(0, nul));
        data.remove_prefix(nul + 1);
    }
    parts.emplace_back(data);
    parts.resize(count);
    return parts;
}

std::string Package(std::string_view data)
{
    if (data.starts_with("PK"))
        return std::string(data);
#if defined(ZRV_FUZZ_FORMAT_xlsx)
    const auto parts = Parts(data, 3);
    auto entries = zrv::test::XlsxPackage("", parts[1].empty() ? "" : "<si><t>x</t></si>");
    for (auto& [name, bytes] : entries) {
        if (name == "xl/worksheets/sheet1.xml")
            bytes = parts[0];
        else if (name == "xl/sharedStrings.xml")
            bytes = parts[1];
        else if (name == "xl/workbook.xml" && !parts[2].empty())
            bytes = parts[2];
    }
    return zrv::test::ZipBytes(entries);
#else
    const auto parts = Parts(data, 2);
    return zrv::test::ZipBytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                {"content.xml", parts[0]},
                                {"settings.xml", parts[1]}});
#endif
}
#endif

// What every reader promises: a workbook with a sheet and cells inside the
// limits, or a reason of one line.
void Check(const std::optional<WorkbookData>& workbook, const std::string& error)
{
    if (!workbook) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort();
        return;
    }
    if (workbook->sheets.empty() || workbook->activeSheet >= workbook->sheets.size())
        std::abort();
    for (const SheetData& sheet : workbook->sheets) {
        if (!IsValidUtf8(sheet.name))
            std::abort();
        for (const auto& [ref, cell] : sheet.cells) {
            if (!IsValidUtf8(cell.text))
                std::abort();
            if (ref.row < 1 || ref.row > kMaxRows || ref.column < 1 || ref.column > kMaxColumns ||
                cell.kind == CellKind::Empty)
                std::abort();
            if ((cell.kind == CellKind::Number || cell.kind == CellKind::Date) &&
                !std::isfinite(cell.number))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::optional<WorkbookData> workbook;
    try {
#if defined(ZRV_FUZZ_FORMAT_csv)
        workbook = ReadCsv(input);
#elif defined(ZRV_FUZZ_FORMAT_xls)
        workbook = ReadXls(input);
#else
        const std::string bytes = Package(input);
        const CZipPackage package(bytes);
#if defined(ZRV_FUZZ_FORMAT_xlsx)
        workbook = ReadXlsx(package);
#else
        workbook = ReadOds(package);
#endif
#endif
    } catch (const CReadError& failure) {
        error = failure.what();
    } catch (const std::exception& failure) {
        error = "library: " + std::string(failure.what());
        if (error.size() > 300)
            error.resize(300);
        for (char& c : error)
            c = c == '\n' ? ' ' : c;
    }
    Check(workbook, error);
    return 0;
}

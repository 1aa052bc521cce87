// ReadXlsx: liborcus parses the package and hands every value to the import
// interfaces below, which store it straight into the workbook being built.
// orcus reads a copy of the package that holds only its XML entries, each
// checked first (sound markup, no document type: orcus's parser asserts on
// some damaged XML, and parses whatever a part holds); orcus's own document
// model is not used, so no per-sheet or per-row storage comes from the file.

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/DateSerial.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XlsxOrcusSkips.h"
#include "sheet/io/XlsxPackageParts.h"
#include "sheet/io/XlsxText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <orcus/measurement.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/spreadsheet/import_interface_view.hpp>
#include <set>
#include <vector>

namespace zrv::sheet {

namespace {

namespace ss = orcus::spreadsheet;

uint32_t RowOf(ss::row_t row)
{
    return CWorkbookBuilder::CheckedRow(static_cast<int64_t>(row) + 1);
}

uint32_t ColumnOf(ss::col_t column)
{
    if (column < 0 || static_cast<uint32_t>(column) >= kMaxColumns)
        CWorkbookBuilder::CheckPosition(1, kMaxColumns + 1);
    return static_cast<uint32_t>(column) + 1;
}

class SharedStrings final : public ss::iface::import_shared_strings {
public:
    const std::string& At(std::size_t index) const
    {
        if (index >= m_strings.size())
            throw CReadError("a cell refers to a shared string that does not exist");
        return m_strings[index];
    }

    size_t append(std::string_view s) override
    {
        Grow(s.size());
        m_strings.push_back(DecodeXlsxEscapes(s));
        return m_strings.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override
    {}
    void append_segment(std::string_view s) override
    {
        Grow(s.size());
        m_segments.append(s);
    }
    size_t commit_segments() override
    {
        m_strings.push_back(DecodeXlsxEscapes(m_segments));
        m_segments.clear();
        return m_strings.size() - 1;
    }

private:
    // Each string costs its bytes plus its bookkeeping; a table of millions of
    // tiny strings is bounded like one of a few large ones.
    void Grow(std::size_t bytes)
    {
        m_bytes += bytes + sizeof(std::string);
        if (m_strings.size() >= kMaxSharedStrings || m_bytes > kMaxTextBytes)
            throw CReadError("the shared string table is over the size limit");
    }

    std::vector<std::string> m_strings;
    std::string m_segments;
    std::size_t m_bytes = 0;
};

// Cell addresses in A1 notation ("B7", "$B$7", "Sheet1!B7", "A1:C3").
class ReferenceResolver final : public ss::iface::import_reference_resolver {
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override
    {
        if (const auto bang = address.rfind('!'); bang != std::string_view::npos)
            address.remove_prefix(bang + 1);
        uint32_t row = 0, column = 0;
        if (!ParseCellName(address, row, column))
            throw CReadError("bad cell address \"" + std::string(address.substr(0, 32)) + "\"");
        return {0, static_cast<ss::row_t>(row - 1), static_cast<ss::col_t>(column - 1)};
    }

    orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override
    {
        const auto colon = range.find(':');
        const auto first = resolve_address(range.substr(0, colon));
        const auto last =
            colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1));
        return {first, last};
    }
};

// What one sheet view reports: which pane is active and what each selects.
class SheetView final : public ss::iface::import_sheet_view {
public:
    SheetView(CWorkbookBuilder& builder, std::size_t sheet) : m_builder(builder), m_sheet(sheet) {}

    void set_sheet_active() override { m_builder.SetActiveSheet(m_sheet); }
    void set_split_pane(double, double, const ss::address_t&, ss::sheet_pane_t active) override
    {
        m_activePane = active;
    }
    void set_frozen_pane(ss::col_t, ss::row_t, const ss::address_t&,
                         ss::sheet_pane_t active) override
    {
        m_activePane = active;
    }
    void set_selected_range(ss::sheet_pane_t pane, ss::range_t range) override
    {
        m_selections[pane] = range.first;
    }

    // The active cell: the first cell the active pane selects.
    void Finish() const
    {
        auto found = m_selections.find(m_activePane);
        if (found == m_selections.end())
            found = m_selections.begin();
        if (found != m_selections.end() && found->second.row >= 0 && found->second.column >= 0)
            m_builder.SetActiveCell(m_sheet, static_cast<uint32_t>(found->second.row) + 1,
                                    static_cast<uint32_t>(found->second.column) + 1);
    }

private:
    CWorkbookBuilder& m_builder;
    std::size_t m_sheet;
    ss::sheet_pane_t m_activePane = ss::sheet_pane_t::top_left;
    std::map<ss::sheet_pane_t, ss::address_t> m_selections;
};

class SheetProperties final : public ss::iface::import_sheet_properties {
public:
    SheetProperties(CWorkbookBuilder& builder, std::size_t sheet)
        : m_builder(builder), m_sheet(sheet)
    {}

    void set_column_width(ss::col_t col, double width, orcus::length_unit_t unit) override
    {
        if (const auto digits = Convert(width, unit, orcus::length_unit_t::xlsx_column_digit))
            m_builder.SetColumnWidth(m_sheet, ColumnOf(col), Characters(*digits));
    }
    void set_column_hidden(ss::col_t, bool) override {}
    void set_row_height(ss::row_t row, double height, orcus::length_unit_t unit) override
    {
        if (const auto points = Convert(height, unit, orcus::length_unit_t::point))
            m_builder.SetRowHeight(m_sheet, RowOf(row), *points);
    }
    void set_row_hidden(ss::row_t, bool) override {}
    void set_merge_cell_range(const ss::range_t&) override {}

private:
    // A file's column width holds the cell padding (5 pixels of a 7-pixel
    // digit, in 1/256 steps); the width a user sets is in whole digits, as
    // spreadsheet programs show it (to 1/100).
    static double Characters(double fileWidth)
    {
        const double pixels = std::floor((256 * fileWidth + 18) / 256 * 7);
        return std::round(std::max(0.0, pixels - 5) / 7 * 100) / 100;
    }

    static std::optional<double> Convert(double value, orcus::length_unit_t from,
                                         orcus::length_unit_t to)
    {
        if (from == to)
            return value;
        try {
            return orcus::convert(value, from, to);
        } catch (const std::exception&) {
            return std::nullopt; // a unit orcus cannot convert: the size is not kept
        }
    }

    CWorkbookBuilder& m_builder;
    std::size_t m_sheet;
};

// Numbers in date formats become dates. liborcus gives a cell's format after
// its value, but a formula's result only at the end of the sheet: the
// formula cells in date formats are remembered until then.
class DateCells final {
public:
    DateCells(CWorkbookBuilder& builder, const CDateFormats& formats, std::size_t sheet)
        : m_builder(builder), m_formats(formats), m_sheet(sheet)
    {}

    void Format(uint32_t row, uint32_t column, std::size_t xf)
    {
        if (xf > UINT32_MAX || !m_formats.IsDate(static_cast<uint32_t>(xf)))
            return;
        if (!m_builder.MarkDate(m_sheet, row, column, m_formats.Serial(0)) &&
            m_pending.size() < kMaxCells)
            m_pending.insert(CellRef{row, column});
    }

    void Result(uint32_t row, uint32_t column)
    {
        if (m_pending.contains(CellRef{row, column}))
            m_builder.MarkDate(m_sheet, row, column, m_formats.Serial(0));
    }

private:
    CWorkbookBuilder& m_builder;
    const CDateFormats& m_formats;
    std::size_t m_sheet;
    std::set<CellRef> m_pending;
};

// A formula cell reads as its cached result; the formula itself is not kept
// and never evaluated. A formula that is just an error value is that error.
class Formula final : public ss::iface::import_formula {
public:
    Formula(CWorkbookBuilder& builder, DateCells& dates, std::size_t sheet)
        : m_builder(builder), m_dates(dates), m_sheet(sheet)
    {}

    void set_position(ss::row_t row, ss::col_t col) override
    {
        m_row = RowOf(row);
        m_column = ColumnOf(col);
    }
    void set_formula(ss::formula_grammar_t, std::string_view formula) override
    {
        m_formula = formula;
    }
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override
    {
        if (value == m_formula && IsErrorValueName(value))
            m_builder.SetError(m_sheet, m_row, m_column, value);
        else
            m_builder.SetText(m_sheet, m_row, m_column, DecodeXlsxEscapes(value));
    }
    void set_result_value(double value) override
    {
        if (!std::isfinite(value)) // orcus gives NaN for a formula without a result
            return;
        m_builder.SetNumber(m_sheet, m_row, m_column, value);
        m_dates.Result(m_row, m_column);
    }
    void set_result_bool(bool value) override
    {
        m_builder.SetBoolean(m_sheet, m_row, m_column, value);
    }
    void set_result_empty() override {}
    void commit() override { m_formula.clear(); }

private:
    CWorkbookBuilder& m_builder;
    DateCells& m_dates;
    std::size_t m_sheet;
    uint32_t m_row = 1;
    uint32_t m_column = 1;
    std::string m_formula;
};

// liborcus gives an array formula's results by their offsets in its range.
class ArrayFormula final : public ss::iface::import_array_formula {
public:
    ArrayFormula(CWorkbookBuilder& builder, std::size_t sheet) : m_builder(builder), m_sheet(sheet)
    {}

    void set_range(const ss::range_t& range) override { m_origin = range.first; }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_result_string(ss::row_t row, ss::col_t col, std::string_view value) override
    {
        m_builder.SetText(m_sheet, Row(row), Column(col), DecodeXlsxEscapes(value));
    }
    void set_result_value(ss::row_t row, ss::col_t col, double value) override
    {
        m_builder.SetNumber(m_sheet, Row(row), Column(col), value);
    }
    void set_result_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        m_builder.SetBoolean(m_sheet, Row(row), Column(col), value);
    }
    void set_result_empty(ss::row_t, ss::col_t) override {}
    void commit() override {}

private:
    uint32_t Row(ss::row_t offset) const
    {
        return CWorkbookBuilder::CheckedRow(int64_t{m_origin.row} + offset + 1);
    }
    uint32_t Column(ss::col_t offset) const
    {
        const int64_t column = int64_t{m_origin.column} + offset;
        return ColumnOf(static_cast<ss::col_t>(std::clamp<int64_t>(column, -1, kMaxColumns)));
    }

    CWorkbookBuilder& m_builder;
    std::size_t m_sheet;
    ss::address_t m_origin{0, 0};
};

class Sheet final : public ss::iface::import_sheet {
public:
    Sheet(CWorkbookBuilder& builder, const SharedStrings& strings, const CDateFormats& dates,
          std::size_t sheet)
        : m_builder(builder), m_strings(strings), m_sheet(sheet), m_dates(builder, dates, sheet),
          m_view(builder, sheet), m_properties(builder, sheet), m_formula(builder, m_dates, sheet),
          m_arrayFormula(builder, sheet)
    {}

    const SheetView& View() const { return m_view; }

    ss::iface::import_sheet_view* get_sheet_view() override { return &m_view; }
    ss::iface::import_sheet_properties* get_sheet_properties() override { return &m_properties; }
    ss::iface::import_formula* get_formula() override { return &m_formula; }
    ss::iface::import_array_formula* get_array_formula() override { return &m_arrayFormula; }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        m_builder.SetText(m_sheet, RowOf(row), ColumnOf(col), DecodeXlsxEscapes(s));
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t index) override
    {
        m_builder.SetText(m_sheet, RowOf(row), ColumnOf(col), m_strings.At(index));
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        m_builder.SetNumber(m_sheet, RowOf(row), ColumnOf(col), value);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        m_builder.SetBoolean(m_sheet, RowOf(row), ColumnOf(col), value);
    }
    // A date typed as such in the file ("t=d"); one no calendar has reads as its text.
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour,
                       int minute, double second) override
    {
        if (const auto serial = DateSerial(year, month, day, hour, minute, second)) {
            m_builder.SetDate(m_sheet, RowOf(row), ColumnOf(col), *serial);
            return;
        }
        char text[96];
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02g", year, month, day, hour,
                      minute, second);
        m_builder.SetText(m_sheet, RowOf(row), ColumnOf(col), text);
    }
    void set_format(ss::row_t row, ss::col_t col, size_t xf) override
    {
        m_dates.Format(RowOf(row), ColumnOf(col), xf);
    }
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override
    {
        const CellRef from{RowOf(row), ColumnOf(col)};
        for (ss::row_t k = 1; k <= count; ++k)
            m_builder.CopyCell(m_sheet, from, CellRef{RowOf(row + k), from.column});
    }
    ss::range_size_t get_sheet_size() const override
    {
        return {static_cast<ss::row_t>(kMaxRows), static_cast<ss::col_t>(kMaxColumns)};
    }

private:
    CWorkbookBuilder& m_builder;
    const SharedStrings& m_strings;
    std::size_t m_sheet;
    DateCells m_dates;
    SheetView m_view;
    SheetProperties m_properties;
    Formula m_formula;
    ArrayFormula m_arrayFormula;
};

class Factory final : public ss::iface::import_factory {
public:
    Factory(CWorkbookBuilder& builder, CDateFormats dates)
        : m_builder(builder), m_dates(std::move(dates))
    {}

    ss::iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    ss::iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    ss::iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override
    {
        if (index < 0 || static_cast<std::size_t>(index) != m_sheets.size())
            throw CReadError("sheets out of order");
        const std::size_t sheet = m_builder.AddSheet(std::string(name));
        m_sheets.push_back(std::make_unique<Sheet>(m_builder, m_strings, m_dates, sheet));
        return m_sheets.back().get();
    }
    ss::iface::import_sheet* get_sheet(std::string_view name) override
    {
        for (std::size_t i = 0; i < m_sheets.size(); ++i) {
            if (m_builder.SheetName(i) == name)
                return m_sheets[i].get();
        }
        return nullptr;
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        if (index < 0 || static_cast<std::size_t>(index) >= m_sheets.size())
            return nullptr;
        return m_sheets[static_cast<std::size_t>(index)].get();
    }
    void finalize() override
    {
        for (const auto& sheet : m_sheets)
            sheet->View().Finish();
    }

private:
    CWorkbookBuilder& m_builder;
    SharedStrings m_strings;
    const CDateFormats m_dates;
    ReferenceResolver m_resolver;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

} // namespace

WorkbookData ReadXlsx(const CZipPackage& package)
{
    const std::string checked = package.XmlOnlyCopy();
    const CZipPackage copy(checked); // stored: no second inflate
    const XlsxParts parts = ReadXlsxParts(copy);
    CheckArrayFormulas(copy, parts);
    CWorkbookBuilder builder;
    Factory factory(builder, ReadXlsxDateFormats(copy, parts));
    orcus::orcus_xlsx loader(&factory);
    // The sheet parts are scanned for what orcus skips while it parses.
    std::future<SheetPartScan> scan = std::async(std::launch::async | std::launch::deferred,
                                                 [&] { return ScanSheetParts(copy, parts); });
    loader.read_stream(checked);
    ReadWhatOrcusSkips(parts, scan.get(), builder);
    return builder.Take();
}

} // namespace zrv::sheet

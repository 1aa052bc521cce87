// ReadOds: an OpenDocument spreadsheet's content.xml (cells) and settings.xml
// (active sheet, cursor), streamed through expat. A text cell's paragraphs
// are its lines, their characters kept as they stand, as spreadsheet
// programs read them; <text:s/> and <text:tab/> add spaces and tabs. A
// cell's text is at most kMaxCellChars long, counted as it grows. A formula
// cell reads as the result the file holds; an error result as an error cell.
// Row heights and column widths are not read (lengths, not characters).

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CXmlStream.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/DateSerial.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XlsxText.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zrv::sheet {

namespace {

constexpr std::string_view kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0|";
constexpr std::string_view kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0|";
constexpr std::string_view kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0|";
constexpr std::string_view kConfig = "urn:oasis:names:tc:opendocument:xmlns:config:1.0|";
constexpr std::string_view kCalcExt =
    "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0|";

bool Is(std::string_view name, std::string_view ns, std::string_view local)
{
    return name.size() == ns.size() + local.size() && name.starts_with(ns) && name.ends_with(local);
}

const char* Attribute(const char** attributes, std::string_view ns, std::string_view local)
{
    return CXmlStream::Attribute(attributes, std::string(ns) + std::string(local));
}

// A repeat count; absent or unreadable counts once, and no count goes past
// what a sheet can hold.
uint64_t Repeat(const char* value, uint64_t limit)
{
    if (!value)
        return 1;
    uint64_t count = 0;
    const auto [end, error] = std::from_chars(value, value + std::strlen(value), count);
    if (error != std::errc() || *end != '\0' || count == 0)
        return 1;
    return std::min(count, limit);
}

struct PendingCell {
    uint64_t column = 0;
    uint64_t repeat = 1;
    CellData data;
};

class ContentHandler final : public CXmlStream::Handler {
public:
    explicit ContentHandler(CWorkbookBuilder& builder) : m_builder(builder) {}

    void Start(std::string_view name, const char** attributes) override
    {
        if (m_inCell) {
            StartInCell(name, attributes);
        } else if (Is(name, kTable, "table")) {
            const char* sheetName = Attribute(attributes, kTable, "name");
            m_sheet = m_builder.AddSheet(sheetName ? sheetName : "");
            m_inTable = true;
            m_row = 1;
        } else if (m_inTable && Is(name, kTable, "table-row")) {
            m_rowRepeat = Repeat(Attribute(attributes, kTable, "number-rows-repeated"), kMaxRows);
            m_column = 1;
            m_cells.clear();
        } else if (m_inTable &&
                   (Is(name, kTable, "table-cell") || Is(name, kTable, "covered-table-cell"))) {
            StartCell(attributes);
        }
    }

    void End(std::string_view name) override
    {
        if (m_inCell) {
            EndInCell(name);
        } else if (Is(name, kTable, "table")) {
            m_inTable = false;
        } else if (m_inTable && Is(name, kTable, "table-row")) {
            EndRow();
        }
    }

    void Text(std::string_view text) override
    {
        if (!m_inParagraph || m_skipDepth > 0)
            return;
        Grow(Utf16Length(text));
        m_text.append(text);
    }

private:
    void StartCell(const char** attributes)
    {
        m_inCell = true;
        m_depth = 0;
        m_skipDepth = 0;
        m_text.clear();
        m_textUnits = 0;
        m_paragraphs = 0;
        m_cell = PendingCell{};
        m_cell.column = m_column;
        m_cell.repeat =
            Repeat(Attribute(attributes, kTable, "number-columns-repeated"), kMaxColumns);
        const char* type = Attribute(attributes, kOffice, "value-type");
        const std::string_view kind = type ? type : "";
        const char* calcType = Attribute(attributes, kCalcExt, "value-type");
        const char* stringValue = Attribute(attributes, kOffice, "string-value");
        // Without LibreOffice's own value type, a formula's error is a string result.
        m_isError = calcType ? std::string_view(calcType) == "error"
                             : kind == "string" && Attribute(attributes, kTable, "formula") &&
                                   stringValue && IsErrorValueName(stringValue);
        if (kind == "float" || kind == "percentage" || kind == "currency") {
            const char* value = Attribute(attributes, kOffice, "value");
            char* end = nullptr;
            const double number = value ? std::strtod(value, &end) : 0;
            if (value && end != value && *end == '\0') {
                m_cell.data.kind = CellKind::Number;
                m_cell.data.number = number;
            }
        } else if (kind == "date" || kind == "time") {
            const char* value =
                Attribute(attributes, kOffice, kind == "date" ? "date-value" : "time-value");
            const auto serial = !value           ? std::nullopt
                                : kind == "date" ? ParseIsoDate(value)
                                                 : ParseIsoDuration(value);
            if (serial) { // otherwise the text shown
                m_cell.data.kind = CellKind::Date;
                m_cell.data.number = *serial;
            }
        } else if (kind == "boolean") {
            const char* value = Attribute(attributes, kOffice, "boolean-value");
            m_cell.data.kind = CellKind::Boolean;
            m_cell.data.boolean = value && std::string_view(value) == "true";
        } else if (kind == "string") {
            if (const char* value = stringValue) {
                CheckLength(Utf16Length(value));
                m_cell.data.kind = CellKind::Text;
                m_cell.data.text = value;
                m_hasStringValue = true;
                return;
            }
        }
        m_hasStringValue = false;
    }

    void StartInCell(std::string_view name, const char** attributes)
    {
        ++m_depth;
        if (m_skipDepth > 0 || Is(name, kOffice, "annotation") || Is(name, kText, "note")) {
            ++m_skipDepth;
            return;
        }
        if (m_depth == 1 && Is(name, kText, "p")) {
            if (m_paragraphs++ > 0)
                Append(1, '\n');
            m_inParagraph = true;
        } else if (m_inParagraph && Is(name, kText, "s")) {
            Append(Repeat(Attribute(attributes, kText, "c"), kMaxCellChars + 1), ' ');
        } else if (m_inParagraph && Is(name, kText, "tab")) {
            Append(1, '\t');
        } else if (m_inParagraph && Is(name, kText, "line-break")) {
            Append(1, '\n');
        }
    }

    void Append(uint64_t count, char c)
    {
        Grow(count);
        m_text.append(static_cast<std::size_t>(count), c);
    }

    // Fails before a cell's text grows past what a cell may hold.
    void Grow(uint64_t units)
    {
        CheckLength(m_textUnits + units);
        m_textUnits += units;
    }

    void CheckLength(uint64_t units) const
    {
        if (units > kMaxCellChars)
            throw CReadError(
                "the text of cell " +
                CellName(static_cast<uint32_t>(std::min<uint64_t>(m_row, kMaxRows)),
                         static_cast<uint32_t>(std::min<uint64_t>(m_cell.column, kMaxColumns))) +
                " is longer than " + std::to_string(kMaxCellChars) + " characters");
    }

    void EndInCell(std::string_view name)
    {
        if (m_depth == 0) {
            EndCell();
            return;
        }
        --m_depth;
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return;
        }
        if (m_depth == 0 && Is(name, kText, "p"))
            m_inParagraph = false;
    }

    void EndCell()
    {
        m_inCell = false;
        CellData& data = m_cell.data;
        if (m_isError && !m_text.empty()) {
            data.kind = CellKind::Error;
            data.text = m_text;
        } else if (data.kind == CellKind::Empty && !m_text.empty()) {
            data.kind = CellKind::Text; // a string, a date or time as shown, or untyped text
            data.text = m_text;
        } else if (data.kind == CellKind::Text && !m_hasStringValue) {
            data.text = m_text;
        }
        if (data.kind == CellKind::Text && data.text.empty())
            data.kind = CellKind::Empty;
        if (data.kind != CellKind::Empty)
            m_cells.push_back(m_cell);
        m_column += m_cell.repeat;
    }

    void EndRow()
    {
        uint64_t perRow = 0;
        for (const PendingCell& cell : m_cells)
            perRow += cell.repeat;
        // Repeats multiply: fail before storing when the product is over the limit.
        if (!m_cells.empty())
            m_builder.ReserveCells(perRow > kMaxCells / m_rowRepeat ? kMaxCells + 1
                                                                    : perRow * m_rowRepeat);
        for (uint64_t k = 0; k < m_rowRepeat && !m_cells.empty(); ++k) {
            for (const PendingCell& cell : m_cells) {
                for (uint64_t c = 0; c < cell.repeat; ++c)
                    Store(m_row + k, cell.column + c, cell.data);
            }
        }
        m_row += m_rowRepeat;
    }

    void Store(uint64_t row, uint64_t column, const CellData& data)
    {
        m_builder.SetCell(m_sheet, static_cast<uint32_t>(std::min<uint64_t>(row, kMaxRows + 1)),
                          static_cast<uint32_t>(std::min<uint64_t>(column, kMaxColumns + 1)), data);
    }

    CWorkbookBuilder& m_builder;
    std::size_t m_sheet = 0;
    bool m_inTable = false;
    uint64_t m_row = 1;
    uint64_t m_rowRepeat = 1;
    uint64_t m_column = 1;
    std::vector<PendingCell> m_cells;

    bool m_inCell = false;
    PendingCell m_cell;
    bool m_isError = false;
    bool m_hasStringValue = false;
    int m_depth = 0;
    int m_skipDepth = 0;
    int m_paragraphs = 0;
    bool m_inParagraph = false;
    std::string m_text;
    uint64_t m_textUnits = 0; // UTF-16 units of m_text
};

// settings.xml: the active table's name and, per table, the cursor position
// (0-based) in the first view.
class SettingsHandler final : public CXmlStream::Handler {
public:
    std::string activeTable;
    std::vector<std::pair<std::string, CellRef>> cursors;

    void Start(std::string_view name, const char** attributes) override
    {
        const char* configName = Attribute(attributes, kConfig, "name");
        const std::string_view itemName = configName ? configName : "";
        m_entries.emplace_back(Is(name, kConfig, "config-item-map-entry") ? itemName : "");
        m_item.clear();
        m_itemName = Is(name, kConfig, "config-item") ? itemName : std::string_view();
        if (Is(name, kConfig, "config-item-map-indexed") && itemName == "Views")
            ++m_views;
    }

    void End(std::string_view name) override
    {
        if (!m_entries.empty())
            m_entries.pop_back();
        if (Is(name, kConfig, "config-item") && m_views == 1)
            Item();
        m_itemName.clear();
    }

    void Text(std::string_view text) override
    {
        if (!m_itemName.empty() && m_item.size() < 256)
            m_item.append(text);
    }

private:
    void Item()
    {
        if (m_itemName == "ActiveTable" && activeTable.empty()) {
            activeTable = m_item;
            return;
        }
        const bool x = m_itemName == "CursorPositionX";
        if (!x && m_itemName != "CursorPositionY")
            return;
        const std::string table = m_entries.empty() ? "" : m_entries.back();
        uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(m_item.data(), m_item.data() + m_item.size(), value);
        if (table.empty() || error != std::errc() || value >= kMaxRows)
            return;
        if (cursors.empty() || cursors.back().first != table)
            cursors.emplace_back(table, CellRef{1, 1});
        (x ? cursors.back().second.column : cursors.back().second.row) = value + 1;
    }

    std::vector<std::string> m_entries;
    std::string m_itemName;
    std::string m_item;
    int m_views = 0;
};

std::size_t SheetNamed(const WorkbookData& workbook, const std::string& name)
{
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        if (workbook.sheets[i].name == name)
            return i;
    }
    return workbook.sheets.size();
}

} // namespace

WorkbookData ReadOds(const CZipPackage& package)
{
    if (package.Has("mimetype")) {
        const std::string type = package.Read("mimetype");
        if (type != "application/vnd.oasis.opendocument.spreadsheet" &&
            type != "application/vnd.oasis.opendocument.spreadsheet-template")
            throw CReadError("an OpenDocument file that is not a spreadsheet");
    }
    // An encrypted package lists how each entry is encrypted in its manifest.
    if (package.Has("META-INF/manifest.xml") &&
        package.Read("META-INF/manifest.xml").find("encryption-data") != std::string::npos)
        throw CReadError("the file is password-protected");
    CWorkbookBuilder builder;
    ContentHandler content(builder);
    CXmlStream::ParsePart(package, "content.xml", content);
    WorkbookData workbook = builder.Take();
    if (package.Has("settings.xml")) {
        SettingsHandler settings;
        CXmlStream::ParsePart(package, "settings.xml", settings);
        for (const auto& [table, cursor] : settings.cursors) {
            if (const std::size_t sheet = SheetNamed(workbook, table);
                sheet < workbook.sheets.size())
                workbook.sheets[sheet].activeCell = cursor;
        }
        if (const std::size_t sheet = SheetNamed(workbook, settings.activeTable);
            sheet < workbook.sheets.size())
            workbook.activeSheet = sheet;
    }
    return workbook;
}

} // namespace zrv::sheet

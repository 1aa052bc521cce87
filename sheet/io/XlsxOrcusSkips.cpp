#include "sheet/io/XlsxOrcusSkips.h"

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CXmlStream.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/DateSerial.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XlsxPackageParts.h"
#include "sheet/io/XlsxText.h"

#include <cstdlib>
#include <vector>

namespace zrv::sheet {

namespace {

using Xml = CXmlStream;

class SheetCells final : public CXmlStream::Handler {
public:
    SheetCells(CWorkbookBuilder& builder, std::size_t sheet) : m_builder(builder), m_sheet(sheet) {}

    void Start(std::string_view name, const char** attributes) override
    {
        const std::string_view local = Xml::LocalName(name);
        if (local == "row") {
            const char* r = Xml::LocalAttribute(attributes, "r");
            m_row = r ? CWorkbookBuilder::CheckedRow(std::strtoll(r, nullptr, 10)) : m_row + 1;
            m_column = 0;
        } else if (local == "c") {
            const char* r = Xml::LocalAttribute(attributes, "r");
            uint32_t row = 0, column = 0;
            if (r && ParseCellName(r, row, column))
                m_column = column;
            else
                ++m_column;
            const char* type = Xml::LocalAttribute(attributes, "t");
            m_type = type ? type : "";
            m_formula = false;
            m_text.clear();
            m_inCell = true;
        } else if (m_inCell && local == "f") {
            m_formula = true;
        } else if (m_inCell && (local == "v" || (local == "t" && m_type == "inlineStr"))) {
            m_collect = m_phonetic == 0;
        } else if (local == "rPh") {
            ++m_phonetic;
        }
    }

    void End(std::string_view name) override
    {
        const std::string_view local = Xml::LocalName(name);
        if (local == "v" || local == "t") {
            m_collect = false;
        } else if (local == "rPh") {
            --m_phonetic;
        } else if (local == "c" && m_inCell) {
            m_inCell = false;
            Store();
        }
    }

    void Text(std::string_view text) override
    {
        if (!m_collect)
            return;
        m_text.append(text);
        if (m_text.size() > kMaxTextBytes)
            throw CReadError("a cell's text is over the size limit");
    }

private:
    void Store()
    {
        if (m_type == "inlineStr")
            m_builder.SetText(m_sheet, m_row, m_column, DecodeXlsxEscapes(m_text));
        else if (m_type == "e" && !m_text.empty())
            m_builder.SetError(m_sheet, m_row, m_column, m_text);
        else if (m_type == "b" && m_formula && !m_text.empty())
            m_builder.SetBoolean(m_sheet, m_row, m_column, m_text != "0");
        else if (m_type == "d")
            StoreDate();
    }

    // A date no calendar has reads as the text the file holds.
    void StoreDate()
    {
        if (const auto serial = ParseIsoDate(m_text))
            m_builder.SetDate(m_sheet, m_row, m_column, *serial);
        else
            m_builder.SetText(m_sheet, m_row, m_column, m_text);
    }

    CWorkbookBuilder& m_builder;
    std::size_t m_sheet;
    uint32_t m_row = 0;
    uint32_t m_column = 0;
    std::string m_type;
    bool m_inCell = false;
    bool m_formula = false;
    bool m_collect = false;
    int m_phonetic = 0;
    std::string m_text;
};

bool HasSkippedCells(const std::string& xml)
{
    for (const char* marker :
         {"inlineStr", "t=\"e\"", "t='e'", "t=\"b\"", "t='b'", "t=\"d\"", "t='d'"}) {
        if (xml.find(marker) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

SheetPartScan ScanSheetParts(const CZipPackage& package, const XlsxParts& parts)
{
    SheetPartScan scan;
    for (const XlsxSheetPart& part : parts.sheets) {
        if (part.part.empty() || scan.contains(part.part))
            continue;
        SkippedCells& found = scan[part.part];
        try {
            std::string xml = package.Read(part.part);
            if (HasSkippedCells(xml))
                found.xml = std::move(xml);
        } catch (const CReadError&) {
            found.failure = std::current_exception();
        }
    }
    return scan;
}

void ReadWhatOrcusSkips(const XlsxParts& parts, const SheetPartScan& scan,
                        CWorkbookBuilder& builder)
{
    const auto sheetNamed = [&](const std::string& name) {
        std::size_t sheet = 0;
        while (sheet < builder.SheetCount() && builder.SheetName(sheet) != name)
            ++sheet;
        return sheet;
    };
    if (parts.activeTab && *parts.activeTab < parts.sheets.size())
        builder.SetActiveSheet(sheetNamed(parts.sheets[*parts.activeTab].name));
    for (const XlsxSheetPart& part : parts.sheets) {
        const std::size_t sheet = sheetNamed(part.name);
        if (part.part.empty() || sheet == builder.SheetCount())
            continue;
        const SkippedCells& found = scan.at(part.part);
        if (found.failure)
            std::rethrow_exception(found.failure);
        if (found.xml.empty())
            continue;
        SheetCells cells(builder, sheet);
        Xml::Parse(found.xml, part.part, cells);
    }
}

} // namespace zrv::sheet

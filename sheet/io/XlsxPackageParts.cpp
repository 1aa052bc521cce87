#include "sheet/io/XlsxPackageParts.h"

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CXmlStream.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/WorkbookLimits.h"

#include <cstdlib>
#include <map>
#include <set>

namespace zrv::sheet {

namespace {

std::string FolderOf(const std::string& part)
{
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? "" : part.substr(0, slash + 1);
}

// A relationship target relative to the folder of the part that names it,
// with "." and ".." steps and empty segments resolved as liborcus does.
std::string Resolve(const std::string& folder, const std::string& target)
{
    std::vector<std::string> segments;
    const std::string path = target.starts_with('/') ? target : folder + target;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments)
        resolved += (resolved.empty() ? "" : "/") + segment;
    return resolved;
}

// Collects one attribute pair of every element with a given local name.
class PairCollector final : public CXmlStream::Handler {
public:
    PairCollector(std::string_view element, std::string_view key, std::string_view value)
        : m_element(element), m_key(key), m_value(value)
    {}
    std::vector<std::pair<std::string, std::string>> pairs;

    void Start(std::string_view name, const char** attributes) override
    {
        if (CXmlStream::LocalName(name) != m_element)
            return;
        const char* key = CXmlStream::LocalAttribute(attributes, m_key);
        const char* value = CXmlStream::LocalAttribute(attributes, m_value);
        if (key && value)
            pairs.emplace_back(key, value);
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

private:
    std::string_view m_element, m_key, m_value;
};

std::vector<std::pair<std::string, std::string>>
Collect(const CZipPackage& package, const std::string& part, std::string_view element,
        std::string_view key, std::string_view value)
{
    PairCollector collector(element, key, value);
    if (package.Has(part))
        CXmlStream::ParsePart(package, part, collector);
    return std::move(collector.pairs);
}

// workbook.xml: the sheets in order (name, relationship id) and the active tab.
class WorkbookPart final : public CXmlStream::Handler {
public:
    std::vector<std::pair<std::string, std::string>> sheets;
    std::optional<std::size_t> activeTab;
    bool base1904 = false;

    void Start(std::string_view name, const char** attributes) override
    {
        const std::string_view local = CXmlStream::LocalName(name);
        if (local == "sheet") {
            const char* sheetName = CXmlStream::LocalAttribute(attributes, "name");
            const char* id = CXmlStream::LocalAttribute(attributes, "id");
            if (sheetName && id)
                sheets.emplace_back(sheetName, id);
        } else if (local == "workbookView" && !activeTab) {
            if (const char* tab = CXmlStream::LocalAttribute(attributes, "activeTab"))
                activeTab = std::strtoul(tab, nullptr, 10);
        } else if (local == "workbookPr") {
            const char* date1904 = CXmlStream::LocalAttribute(attributes, "date1904");
            base1904 = date1904 &&
                       (std::string_view(date1904) == "1" || std::string_view(date1904) == "true");
        }
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}
};

// styles.xml: the number formats the file defines and those of its cell formats.
class Styles final : public CXmlStream::Handler {
public:
    CDateFormats formats;

    void Start(std::string_view name, const char** attributes) override
    {
        const std::string_view local = CXmlStream::LocalName(name);
        const char* id = CXmlStream::LocalAttribute(attributes, "numFmtId");
        if (local == "cellXfs") {
            m_inCellXfs = true;
        } else if (local == "xf" && m_inCellXfs) {
            formats.AddCellFormat(id ? static_cast<uint32_t>(std::strtoul(id, nullptr, 10)) : 0);
        } else if (local == "numFmt" && id) {
            const char* code = CXmlStream::LocalAttribute(attributes, "formatCode");
            formats.AddFormat(static_cast<uint32_t>(std::strtoul(id, nullptr, 10)),
                              code ? code : "");
        }
    }
    void End(std::string_view name) override
    {
        if (CXmlStream::LocalName(name) == "cellXfs")
            m_inCellXfs = false;
    }
    void Text(std::string_view) override {}

private:
    bool m_inCellXfs = false;
};

// Adds up the cells the array formulas of worksheets cover.
class ArrayRanges final : public CXmlStream::Handler {
public:
    void Start(std::string_view name, const char** attributes) override
    {
        if (CXmlStream::LocalName(name) != "f")
            return;
        const char* type = CXmlStream::LocalAttribute(attributes, "t");
        const char* ref = CXmlStream::LocalAttribute(attributes, "ref");
        if (!type || std::string_view(type) != "array" || !ref)
            return;
        const std::string_view range = ref;
        const auto colon = range.find(':');
        uint32_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;
        if (!ParseCellName(range.substr(0, colon), row1, column1))
            return; // liborcus hands such a range to the reader's resolver, which refuses it
        row2 = row1, column2 = column1;
        if (colon != std::string_view::npos &&
            !ParseCellName(range.substr(colon + 1), row2, column2))
            return;
        m_cells += (uint64_t{std::max(row1, row2)} - std::min(row1, row2) + 1) *
                   (uint64_t{std::max(column1, column2)} - std::min(column1, column2) + 1);
        if (m_cells > kMaxCells)
            throw CReadError("array formulas cover more than " + std::to_string(kMaxCells) +
                             " cells");
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

private:
    uint64_t m_cells = 0;
};

} // namespace

XlsxParts ReadXlsxParts(const CZipPackage& package)
{
    std::string workbook = "xl/workbook.xml";
    for (const auto& [type, target] :
         Collect(package, "_rels/.rels", "Relationship", "Type", "Target")) {
        if (type.ends_with("/officeDocument"))
            workbook = Resolve("", target);
    }
    const std::string folder = FolderOf(workbook);
    const std::string rels = folder + "_rels/" + workbook.substr(folder.size()) + ".rels";
    std::map<std::string, std::string> targets;
    XlsxParts parts;
    for (const auto& [id, target] : Collect(package, rels, "Relationship", "Id", "Target"))
        targets.emplace(id, Resolve(folder, target));
    for (const auto& [type, target] : Collect(package, rels, "Relationship", "Type", "Target")) {
        if (type.ends_with("/styles") && package.Has(Resolve(folder, target)))
            parts.styles = Resolve(folder, target);
    }
    WorkbookPart book;
    if (package.Has(workbook))
        CXmlStream::ParsePart(package, workbook, book);
    parts.activeTab = book.activeTab;
    parts.base1904 = book.base1904;
    std::set<std::string> listed;
    for (const auto& [name, id] : book.sheets) {
        const auto target = targets.find(id);
        std::string part =
            target != targets.end() && package.Has(target->second) ? target->second : "";
        if (!part.empty() && !listed.insert(part).second)
            throw CReadError("the workbook lists the sheet " + part + " twice");
        parts.sheets.push_back({name, std::move(part)});
    }
    return parts;
}

CDateFormats ReadXlsxDateFormats(const CZipPackage& package, const XlsxParts& parts)
{
    Styles styles;
    if (!parts.styles.empty())
        CXmlStream::ParsePart(package, parts.styles, styles);
    styles.formats.SetBase1904(parts.base1904);
    return std::move(styles.formats);
}

void CheckArrayFormulas(const CZipPackage& package, const XlsxParts& parts)
{
    ArrayRanges ranges;
    for (const XlsxSheetPart& sheet : parts.sheets) {
        if (sheet.part.empty())
            continue;
        const std::string xml = package.Read(sheet.part);
        // Only a part that can hold one is parsed (a character reference may spell the type).
        if (xml.find("array") == std::string::npos && xml.find("&#") == std::string::npos)
            continue;
        CXmlStream::Parse(xml, sheet.part, ranges);
    }
}

} // namespace zrv::sheet

#include "sheet/io/XlsxOrcusSkips.h"

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CXmlStream.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XlsxText.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace zrv::sheet {

namespace {

// Element and attribute names without their namespace.
std::string_view Local(std::string_view name)
{
    const auto bar = name.rfind('|');
    return bar == std::string_view::npos ? name : name.substr(bar + 1);
}

const char* LocalAttribute(const char** attributes, std::string_view local)
{
    for (; attributes && attributes[0]; attributes += 2) {
        if (Local(attributes[0]) == local)
            return attributes[1];
    }
    return nullptr;
}

std::string FolderOf(const std::string& part)
{
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? "" : part.substr(0, slash + 1);
}

// A relationship target relative to the folder of the part that names it.
std::string Resolve(const std::string& folder, std::string target)
{
    if (target.starts_with('/'))
        return target.substr(1);
    std::string base = folder;
    while (target.starts_with("../")) {
        target.erase(0, 3);
        const auto slash = base.rfind('/', base.size() >= 2 ? base.size() - 2 : 0);
        base = slash == std::string::npos ? "" : base.substr(0, slash + 1);
    }
    return base + target;
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
        if (Local(name) != m_element)
            return;
        const char* key = LocalAttribute(attributes, m_key);
        const char* value = LocalAttribute(attributes, m_value);
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
    if (package.Has(part)) {
        CXmlStream stream(collector, part);
        package.Stream(part, [&](std::string_view chunk) { stream.Feed(chunk); });
        stream.Finish();
    }
    return std::move(collector.pairs);
}

// workbook.xml: the sheets in order (name, relationship id) and the active tab.
class WorkbookPart final : public CXmlStream::Handler {
public:
    std::vector<std::pair<std::string, std::string>> sheets;
    std::optional<std::size_t> activeTab;

    void Start(std::string_view name, const char** attributes) override
    {
        const std::string_view local = Local(name);
        if (local == "sheet") {
            const char* sheetName = LocalAttribute(attributes, "name");
            const char* id = LocalAttribute(attributes, "id");
            if (sheetName && id)
                sheets.emplace_back(sheetName, id);
        } else if (local == "workbookView" && !activeTab) {
            if (const char* tab = LocalAttribute(attributes, "activeTab"))
                activeTab = std::strtoul(tab, nullptr, 10);
        }
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}
};

class SheetCells final : public CXmlStream::Handler {
public:
    SheetCells(CWorkbookBuilder& builder, std::size_t sheet) : m_builder(builder), m_sheet(sheet) {}

    void Start(std::string_view name, const char** attributes) override
    {
        const std::string_view local = Local(name);
        if (local == "row") {
            const char* r = LocalAttribute(attributes, "r");
            m_row = r ? CWorkbookBuilder::CheckedRow(std::strtoll(r, nullptr, 10)) : m_row + 1;
            m_column = 0;
        } else if (local == "c") {
            const char* r = LocalAttribute(attributes, "r");
            uint32_t row = 0, column = 0;
            if (r && ParseCellName(r, row, column))
                m_column = column;
            else
                ++m_column;
            const char* type = LocalAttribute(attributes, "t");
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
        const std::string_view local = Local(name);
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
    for (const char* marker : {"inlineStr", "t=\"e\"", "t='e'", "t=\"b\"", "t='b'"}) {
        if (xml.find(marker) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

void ReadWhatOrcusSkips(const CZipPackage& package, CWorkbookBuilder& builder)
{
    std::string workbook = "xl/workbook.xml";
    for (const auto& [type, target] :
         Collect(package, "_rels/.rels", "Relationship", "Type", "Target")) {
        if (type.ends_with("/officeDocument"))
            workbook = Resolve("", target);
    }
    const std::string folder = FolderOf(workbook);
    std::map<std::string, std::string> targets;
    for (auto& [id, target] :
         Collect(package, folder + "_rels/" + workbook.substr(folder.size()) + ".rels",
                 "Relationship", "Id", "Target"))
        targets.emplace(id, Resolve(folder, target));
    WorkbookPart book;
    if (package.Has(workbook)) {
        CXmlStream stream(book, workbook);
        package.Stream(workbook, [&](std::string_view chunk) { stream.Feed(chunk); });
        stream.Finish();
    }
    const auto sheetNamed = [&](const std::string& name) {
        std::size_t sheet = 0;
        while (sheet < builder.SheetCount() && builder.SheetName(sheet) != name)
            ++sheet;
        return sheet;
    };
    if (book.activeTab && *book.activeTab < book.sheets.size())
        builder.SetActiveSheet(sheetNamed(book.sheets[*book.activeTab].first));
    for (const auto& [name, id] : book.sheets) {
        const auto target = targets.find(id);
        if (target == targets.end() || !package.Has(target->second))
            continue;
        const std::size_t sheet = sheetNamed(name);
        if (sheet == builder.SheetCount())
            continue;
        const std::string xml = package.Read(target->second);
        if (!HasSkippedCells(xml))
            continue;
        SheetCells cells(builder, sheet);
        CXmlStream stream(cells, target->second);
        stream.Feed(xml);
        stream.Finish();
    }
}

} // namespace zrv::sheet

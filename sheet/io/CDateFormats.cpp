#include "sheet/io/CDateFormats.h"

namespace zrv::sheet {

namespace {

// Built-in number formats that show dates or times.
bool IsBuiltInDate(uint32_t id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

} // namespace

void CDateFormats::AddFormat(uint32_t id, std::string_view code)
{
    if (m_dateFormats.size() < kMaxFormats || m_dateFormats.contains(id))
        m_dateFormats[id] = IsDateCode(code);
}

void CDateFormats::AddCellFormat(uint32_t numberFormat)
{
    if (m_cellFormats.size() < kMaxFormats)
        m_cellFormats.push_back(numberFormat);
}

bool CDateFormats::IsDate(uint32_t cellFormat) const
{
    if (cellFormat >= m_cellFormats.size())
        return false;
    const uint32_t id = m_cellFormats[cellFormat];
    const auto given = m_dateFormats.find(id);
    return given != m_dateFormats.end() ? given->second : IsBuiltInDate(id);
}

// The first section of the code, without quoted text, escaped characters
// and bracketed parts other than elapsed time ([h], [mm], [ss]), shows a
// date or time when it holds one of d, m, y, h, s.
bool CDateFormats::IsDateCode(std::string_view code)
{
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = static_cast<char>(code[i] | 0x20);
        if (code[i] == ';')
            return false;
        if (code[i] == '"') {
            i = code.find('"', i + 1);
            if (i == std::string_view::npos)
                return false;
        } else if (code[i] == '\\' || code[i] == '_' || code[i] == '*') {
            ++i;
        } else if (code[i] == '[') {
            const std::size_t end = code.find(']', i);
            if (end == std::string_view::npos)
                return false;
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                return true;
            i = end;
        } else if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 's') {
            return true;
        }
    }
    return false;
}

} // namespace zrv::sheet

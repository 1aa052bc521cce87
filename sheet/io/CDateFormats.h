#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::sheet {

// Which cells of an xls or xlsx file hold dates: a number shows as a date
// when its cell format (XF) has a number format that shows days, months,
// years, hours or seconds, built in or given by the file. The workbook's
// date system (1900 or 1904) turns serial numbers into dates.
class CDateFormats final {
public:
    void AddFormat(uint32_t id, std::string_view code);
    void AddCellFormat(uint32_t numberFormat);
    void SetBase1904(bool base1904) { m_base1904 = base1904; }

    bool IsDate(uint32_t cellFormat) const;
    // The serial number counted from 1899-12-30, as a date cell keeps it.
    double Serial(double value) const { return m_base1904 ? value + 1462 : value; }

    static bool IsDateCode(std::string_view code);

private:
    // More than any file holds (Excel: 65,490 of each); the rest are not dates.
    static constexpr std::size_t kMaxFormats = 65536;

    std::map<uint32_t, bool> m_dateFormats; // given by FORMAT records
    std::vector<uint32_t> m_cellFormats;    // XF index -> number format
    bool m_base1904 = false;
};

} // namespace zrv::sheet

#include "tests/sheet/io/BiffFiles.h"

#include "sheet/io/CCompoundFile.h"

#include <cstring>

namespace zrv::test {

std::string Le16(uint32_t value)
{
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Le32(uint32_t value)
{
    return Le16(value) + Le16(value >> 16);
}

std::string BiffRecord(uint16_t type, std::string_view data)
{
    return Le16(type) + Le16(static_cast<uint32_t>(data.size())) + std::string(data);
}

std::string BiffDimensions(uint32_t rows, uint16_t columns, Biff version)
{
    if (version == Biff::v5)
        return BiffRecord(0x0200, Le16(0) + Le16(rows) + Le16(0) + Le16(columns) + Le16(0));
    return BiffRecord(0x0200, Le32(0) + Le32(rows) + Le16(0) + Le16(columns) + Le16(0));
}

std::string BiffNumber(uint16_t row, uint16_t column, double value, uint16_t xf)
{
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8);
    return BiffRecord(0x0203, Le16(row) + Le16(column) + Le16(xf) + bytes);
}

namespace {

std::string Bof(uint16_t type, Biff version)
{
    if (version == Biff::v5)
        return BiffRecord(0x0809, Le16(0x0500) + Le16(type) + Le16(0x0DBB) + Le16(0x07CC));
    return BiffRecord(0x0809, Le16(0x0600) + Le16(type) + Le16(0x0DBB) + Le16(0x07CC) + Le32(0) +
                                  Le32(0x0006));
}

} // namespace

std::string XlsBytes(const std::string& globals, const std::vector<BiffSheet>& sheets, Biff version)
{
    const std::string eof = BiffRecord(0x000A, "");
    const auto boundSheet = [version](uint32_t offset, const BiffSheet& sheet) {
        const std::string flags = version == Biff::v8 ? std::string(1, '\0') : std::string();
        return BiffRecord(0x0085, Le32(offset) + Le16(sheet.options) +
                                      static_cast<char>(sheet.name.size()) + flags + sheet.name);
    };
    std::size_t offset = Bof(0x0005, version).size() + globals.size() + eof.size();
    for (const BiffSheet& sheet : sheets)
        offset += boundSheet(0, sheet).size();
    std::string bounds, bodies;
    for (const BiffSheet& sheet : sheets) {
        bounds += boundSheet(static_cast<uint32_t>(offset + bodies.size()), sheet);
        bodies += Bof(0x0010, version) + sheet.records + eof;
    }
    return sheet::CCompoundFile::WithWorkbookStream(Bof(0x0005, version) + globals + bounds + eof +
                                                    bodies);
}

} // namespace zrv::test

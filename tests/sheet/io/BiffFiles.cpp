#include "tests/sheet/io/BiffFiles.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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

constexpr std::string_view kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kHeaderFatEntries = 109;
constexpr std::size_t kEntrySize = 128;

void PutWord(std::string& out, std::size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

void PutName(std::string& entry, std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i)
        entry[2 * i] = name[i];
    entry[0x40] = static_cast<char>(2 * (name.size() + 1));
}

// A compound file (version 4, 4096-byte sectors) holding only `stream`,
// named "Workbook" and padded with zeros to at least 4096 bytes so that it
// needs no mini stream.
std::string CompoundFile(std::string_view stream)
{
    constexpr uint32_t kSector = 4096;
    constexpr uint32_t kPerFat = kSector / 4;
    constexpr uint32_t kFatSector = 0xFFFFFFFD;
    constexpr uint32_t kNoStream = 0xFFFFFFFF;
    std::string data(stream);
    data.resize(std::max<std::size_t>(((data.size() + kSector - 1) / kSector) * kSector, kSector),
                '\0');
    const auto dataSectors = static_cast<uint32_t>(data.size() / kSector);
    const uint32_t directory = dataSectors;
    uint32_t fatSectors = 1;
    while ((dataSectors + 1 + fatSectors + kPerFat - 1) / kPerFat > fatSectors)
        ++fatSectors;
    if (fatSectors > kHeaderFatEntries)
        throw std::length_error("a workbook stream too large for the test's compound file");

    std::string header(kSector, '\0');
    header.replace(0, kSignature.size(), kSignature);
    const std::string_view fields("\x3E\x00\x04\x00\xFE\xFF\x0C\x00\x06\x00", 10);
    header.replace(0x18, fields.size(), fields);
    PutWord(header, 0x28, 1); // directory sectors
    PutWord(header, 0x2C, fatSectors);
    PutWord(header, 0x30, directory);
    PutWord(header, 0x38, 4096);
    PutWord(header, 0x3C, kEndOfChain);
    PutWord(header, 0x44, kEndOfChain);
    for (uint32_t i = 0; i < kHeaderFatEntries; ++i)
        PutWord(header, 0x4C + 4 * i, i < fatSectors ? directory + 1 + i : kFreeSector);

    std::string entries(kSector, '\0');
    for (std::size_t offset = 0; offset < kSector; offset += kEntrySize) {
        PutWord(entries, offset + 0x44, kNoStream);
        PutWord(entries, offset + 0x48, kNoStream);
        PutWord(entries, offset + 0x4C, kNoStream);
    }
    std::string root = entries.substr(0, kEntrySize);
    PutName(root, "Root Entry");
    root[0x42] = 5;
    root[0x43] = 1;
    PutWord(root, 0x4C, 1); // the Workbook entry
    PutWord(root, 0x74, kEndOfChain);
    std::string workbook = entries.substr(0, kEntrySize);
    PutName(workbook, "Workbook");
    workbook[0x42] = 2;
    workbook[0x43] = 1;
    PutWord(workbook, 0x74, 0);
    PutWord(workbook, 0x78, static_cast<uint32_t>(data.size()));
    entries.replace(0, kEntrySize, root);
    entries.replace(kEntrySize, kEntrySize, workbook);

    std::string fat(std::size_t(fatSectors) * kSector, '\0');
    for (uint32_t i = 0; i < fatSectors * kPerFat; ++i) {
        uint32_t next = kFreeSector;
        if (i + 1 < dataSectors)
            next = i + 1;
        else if (i + 1 == dataSectors || i == directory)
            next = kEndOfChain;
        else if (i > directory && i <= directory + fatSectors)
            next = kFatSector;
        PutWord(fat, 4 * std::size_t(i), next);
    }
    return header + data + entries + fat;
}

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
    return CompoundFile(Bof(0x0005, version) + globals + bounds + eof + bodies);
}

} // namespace zrv::test

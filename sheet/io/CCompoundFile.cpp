#include "sheet/io/CCompoundFile.h"

#include "sheet/io/CWorkbookBuilder.h"

#include <cctype>

namespace zrv::sheet {

namespace {

constexpr std::string_view kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kMiniSectorSize = 64;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr uint64_t kWholeChain = UINT64_MAX;

[[noreturn]] void Damaged(const std::string& what)
{
    throw CReadError("damaged xls container: " + what);
}

} // namespace

bool CCompoundFile::LooksLikeCompoundFile(std::string_view bytes)
{
    return bytes.starts_with(kSignature);
}

uint32_t CCompoundFile::Word(std::string_view data, std::size_t offset) const
{
    if (offset + 4 > data.size())
        Damaged("short record");
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(data[offset + static_cast<std::size_t>(i)]);
    return value;
}

std::string_view CCompoundFile::Sector(uint32_t index) const
{
    if (index >= m_sectorCount)
        Damaged("sector out of range");
    return m_bytes.substr((static_cast<std::size_t>(index) + 1) * m_sectorSize, m_sectorSize);
}

std::string CCompoundFile::Chain(uint32_t start, uint64_t size) const
{
    std::string data;
    uint32_t sector = start;
    // A chain visits each sector at most once; more steps mean a loop.
    for (uint32_t steps = 0; sector != kEndOfChain && data.size() < size; ++steps) {
        if (size == kWholeChain && sector == kFreeSector)
            break;
        if (steps >= m_sectorCount || sector >= m_fat.size())
            Damaged("broken sector chain");
        data.append(Sector(sector));
        sector = m_fat[sector];
    }
    if (size == kWholeChain)
        return data;
    if (data.size() < size)
        Damaged("stream shorter than its entry says");
    data.resize(static_cast<std::size_t>(size));
    return data;
}

std::string CCompoundFile::MiniChain(uint32_t start, uint64_t size) const
{
    std::string data;
    uint32_t sector = start;
    for (std::size_t steps = 0; sector != kEndOfChain && data.size() < size; ++steps) {
        const std::size_t offset = static_cast<std::size_t>(sector) * kMiniSectorSize;
        if (steps >= m_miniFat.size() || sector >= m_miniFat.size() ||
            offset + kMiniSectorSize > m_miniStream.size())
            Damaged("broken mini sector chain");
        data.append(m_miniStream, offset, kMiniSectorSize);
        sector = m_miniFat[sector];
    }
    if (data.size() < size)
        Damaged("stream shorter than its entry says");
    data.resize(static_cast<std::size_t>(size));
    return data;
}

CCompoundFile::CCompoundFile(std::string_view bytes) : m_bytes(bytes)
{
    if (!LooksLikeCompoundFile(bytes) || bytes.size() < 512)
        Damaged("no header");
    const uint32_t shift = Word(bytes, 0x1C) >> 16;
    if (shift != 9 && shift != 12)
        Damaged("unknown sector size");
    m_sectorSize = 1u << shift;
    m_sectorCount = static_cast<uint32_t>(bytes.size() / m_sectorSize - 1);
    m_miniCutoff = Word(bytes, 0x38);

    // The FAT's own sectors: 109 listed in the header, the rest in a chain of
    // DIFAT sectors whose last word links to the next.
    std::vector<uint32_t> fatSectors;
    for (std::size_t i = 0; i < kHeaderFatEntries; ++i) {
        const uint32_t sector = Word(bytes, 0x4C + 4 * i);
        if (sector < m_sectorCount)
            fatSectors.push_back(sector);
    }
    const uint32_t perDifat = m_sectorSize / 4 - 1;
    uint32_t difat = Word(bytes, 0x44);
    for (uint32_t steps = 0; difat < m_sectorCount; ++steps) {
        if (steps >= m_sectorCount)
            Damaged("DIFAT loop");
        const std::string_view sector = Sector(difat);
        for (uint32_t i = 0; i < perDifat; ++i) {
            const uint32_t entry = Word(sector, 4 * i);
            if (entry < m_sectorCount)
                fatSectors.push_back(entry);
        }
        difat = Word(sector, 4 * perDifat);
    }
    if (fatSectors.size() > m_sectorCount)
        Damaged("FAT larger than the file");
    for (const uint32_t sector : fatSectors) {
        const std::string_view data = Sector(sector);
        for (uint32_t i = 0; i < m_sectorSize / 4; ++i)
            m_fat.push_back(Word(data, 4 * i));
    }

    const std::string directory = Chain(Word(bytes, 0x30), kWholeChain);
    for (std::size_t offset = 0; offset + kEntrySize <= directory.size(); offset += kEntrySize) {
        const std::string_view raw = std::string_view(directory).substr(offset, kEntrySize);
        Entry entry;
        const std::size_t nameBytes = std::min<std::size_t>(Word(raw, 0x40) & 0xFFFF, 64);
        for (std::size_t i = 0; i + 1 < nameBytes; i += 2) {
            const unsigned char low = static_cast<unsigned char>(raw[i]);
            const unsigned char high = static_cast<unsigned char>(raw[i + 1]);
            if (low == 0 && high == 0)
                break;
            entry.name += high == 0 && low < 0x80 ? static_cast<char>(low) : '?';
        }
        entry.type = static_cast<uint8_t>(raw[0x42]);
        entry.start = Word(raw, 0x74);
        entry.size = Word(raw, 0x78) | uint64_t(Word(raw, 0x7C)) << 32;
        if (shift == 9)
            entry.size &= 0xFFFFFFFF; // version 3 files leave the high word undefined
        m_entries.push_back(std::move(entry));
    }
    if (m_entries.empty() || m_entries[0].type != 5)
        Damaged("no root entry");
    if (m_entries[0].size > bytes.size())
        Damaged("mini stream larger than the file");
    m_miniStream = Chain(m_entries[0].start, m_entries[0].size);
    uint32_t sector = Word(bytes, 0x3C);
    for (uint32_t steps = 0; sector != kEndOfChain && sector != kFreeSector; ++steps) {
        if (steps >= m_sectorCount || sector >= m_fat.size())
            Damaged("broken mini FAT chain");
        const std::string_view data = Sector(sector);
        for (uint32_t i = 0; i < m_sectorSize / 4; ++i)
            m_miniFat.push_back(Word(data, 4 * i));
        sector = m_fat[sector];
    }
}

std::optional<std::string> CCompoundFile::Stream(std::string_view name) const
{
    for (const Entry& entry : m_entries) {
        if (entry.type != 2 || entry.name.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(entry.name[i])) ==
                   std::tolower(static_cast<unsigned char>(name[i]));
        if (!same)
            continue;
        if (entry.size > m_bytes.size())
            Damaged("stream larger than the file");
        return entry.size < m_miniCutoff ? MiniChain(entry.start, entry.size)
                                         : Chain(entry.start, entry.size);
    }
    return std::nullopt;
}

} // namespace zrv::sheet

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::sheet {

// Read access to the streams of a compound file (the container of .xls
// files), held in memory. Every sector chain is checked against the file's
// bounds and for loops; a damaged container throws CReadError.
class CCompoundFile final {
public:
    // `bytes` must outlive the object.
    explicit CCompoundFile(std::string_view bytes);

    static bool LooksLikeCompoundFile(std::string_view bytes);

    // The stream of the root storage named `name` (ASCII, compared without
    // regard to case), or nothing when there is none.
    std::optional<std::string> Stream(std::string_view name) const;

private:
    struct Entry {
        std::string name; // ASCII letters only; others become '?'
        uint8_t type = 0;
        uint32_t start = 0;
        uint64_t size = 0;
    };

    std::string_view Sector(uint32_t index) const;
    std::string Chain(uint32_t start, uint64_t size) const;
    std::string MiniChain(uint32_t start, uint64_t size) const;
    uint32_t Word(std::string_view data, std::size_t offset) const;

    std::string_view m_bytes;
    uint32_t m_sectorSize = 512;
    uint32_t m_sectorCount = 0;
    uint32_t m_miniCutoff = 4096;
    std::vector<uint32_t> m_fat;
    std::vector<uint32_t> m_miniFat;
    std::string m_miniStream;
    std::vector<Entry> m_entries;
};

} // namespace zrv::sheet

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zrv {

// The header and every fortune of an archive as they stood at one moment,
// held in memory: texts are handed out as the archive object hands them out
// (up to a NUL byte, with CR LF line ends), without looking at the file again.
class CArchiveSnapshot final {
public:
    CArchiveSnapshot() = default;
    // `bytes` (`size` of them) run from the first separator to the end of the
    // file; `starts` holds where each fortune's text begins in them.
    CArchiveSnapshot(std::string header, std::unique_ptr<char[]> bytes, size_t size,
                     std::vector<size_t> starts);

    int32_t Count() const;
    // Fortune text (1-based); empty when out of range.
    std::string Item(int32_t index) const;
    std::string Header() const;
    // The header's stored bytes, unconverted.
    const std::string& StoredHeader() const { return m_header; }
    // The stored bytes of a fortune, unconverted.
    std::string_view Stored(int32_t index) const;

private:
    std::string m_header;
    std::unique_ptr<char[]> m_bytes; // not a string: filled by a read, never zeroed first
    size_t m_size = 0;
    std::vector<size_t> m_starts;
};

} // namespace zrv

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zrv {

// Finds the fortune separators (LF % LF) of an archive fed to it in blocks of
// any size, giving the header and the start offset of every fortune.
//
// A separator completes at a line feed whose two preceding bytes are a line
// feed and "%", unless that earlier line feed itself closed a separator: only
// the last of several line feeds before "%" belongs to the separator, "%" must
// be followed by a line feed, and LF % LF % LF holds a single separator. The
// scan jumps from "%" to "%" with memchr and looks at the neighbours only, so
// it costs little more than a pass of memchr over the bytes.
class CSeparatorScanner final {
public:
    void Feed(const char* data, size_t length);

    // Every byte before the first separator; the whole input when there is none.
    const std::string& Header() const { return m_header; }
    std::string TakeHeader() { return std::move(m_header); }
    // Offset just after each separator, in file order.
    const std::vector<int64_t>& Offsets() const { return m_offsets; }
    std::vector<int64_t> TakeOffsets() { return std::move(m_offsets); }

private:
    void Complete(int64_t closingLineFeed);
    bool OpensSeparator(int64_t percentPosition, bool lineFeedBefore) const;

    std::string m_header;
    std::vector<int64_t> m_offsets;
    int64_t m_position = 0;             // offset of the next byte to be fed
    int64_t m_lastClosingLineFeed = -1; // line feed that closed the last separator
    char m_lastByte = 0;                // last byte fed so far
    bool m_percentPending = false;      // block ended in a "%" that may open a separator
};

} // namespace zrv

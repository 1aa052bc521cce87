#pragma once

#include "engine/CUniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zrv {

// Reads byte ranges of one open file through a window kept in memory. A range
// that starts just after the last one read is taken as part of a front-to-back
// walk: its read fetches a block ahead (growing up to 1 MiB), so such a walk
// costs one pread per block instead of one per range. Any other range is read
// alone, as one pread of its own bytes.
//
// The window holds the bytes as they were when read: the owner must Attach or
// Close whenever the file may have changed since.
class CRangeReader final {
public:
    CRangeReader() = default;
    CRangeReader(const CRangeReader&) = delete;
    CRangeReader& operator=(const CRangeReader&) = delete;

    // Takes over `file` (open for reading) and forgets the window.
    void Attach(CUniqueFd file);
    void Close();
    bool IsOpen() const { return m_file.IsOpen(); }
    int Fd() const { return m_file.Get(); }

    // The bytes from `start` up to `end` as far as the file holds them; empty
    // on a read error. Valid until the next call on this reader.
    std::string_view Read(int64_t start, int64_t end);

private:
    bool Fetch(int64_t start, size_t length);

    CUniqueFd m_file;
    std::unique_ptr<char[]> m_window;
    size_t m_capacity = 0;
    size_t m_filled = 0;       // bytes of the window read from the file
    int64_t m_windowStart = 0; // file offset of the window's first byte
    int64_t m_lastEnd = -1;    // end of the last range asked for
    size_t m_readAhead = 0;    // block size of the current front-to-back walk
};

} // namespace zrv

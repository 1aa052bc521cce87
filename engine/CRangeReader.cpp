#include "engine/CRangeReader.h"

#include <algorithm>

namespace zrv {

namespace {

constexpr size_t kFirstReadAhead = size_t{16} << 10;
constexpr size_t kMaxReadAhead = size_t{1} << 20;
// How far past the last range's end the next may start and still count as
// the walk's next step (fortunes are three separator bytes apart).
constexpr int64_t kWalkGap = 64;

} // namespace

void CRangeReader::Attach(CUniqueFd file)
{
    m_file = std::move(file);
    m_filled = 0;
    m_lastEnd = -1;
    m_readAhead = 0;
}

void CRangeReader::Close()
{
    Attach(CUniqueFd());
}

std::string_view CRangeReader::Read(int64_t start, int64_t end)
{
    if (!m_file.IsOpen() || end <= start)
        return {};
    const bool walking = m_lastEnd >= 0 && start >= m_lastEnd && start - m_lastEnd <= kWalkGap;
    m_lastEnd = end;
    const int64_t windowEnd = m_windowStart + static_cast<int64_t>(m_filled);
    const bool held = start >= m_windowStart && end <= windowEnd;
    if (!held) {
        m_readAhead = walking ? std::clamp(m_readAhead * 2, kFirstReadAhead, kMaxReadAhead) : 0;
        const auto length = static_cast<size_t>(end - start);
        if (!Fetch(start, std::max(length, m_readAhead)))
            return {};
    }
    const auto offset = static_cast<size_t>(start - m_windowStart);
    const size_t available = m_filled > offset ? m_filled - offset : 0;
    return {m_window.get() + offset, std::min(available, static_cast<size_t>(end - start))};
}

bool CRangeReader::Fetch(int64_t start, size_t length)
{
    // A window grown for one long range is not kept for the short ones after it.
    if (length > m_capacity || (m_capacity > kMaxReadAhead && length <= kMaxReadAhead)) {
        m_window = std::make_unique_for_overwrite<char[]>(length);
        m_capacity = length;
    }
    m_windowStart = start;
    const long long got =
        ReadFully(m_file.Get(), m_window.get(), static_cast<long long>(length), start);
    m_filled = got > 0 ? static_cast<size_t>(got) : 0;
    return got >= 0;
}

} // namespace zrv

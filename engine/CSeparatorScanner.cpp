#include "engine/CSeparatorScanner.h"

#include <cstring>

namespace zrv {

namespace {

constexpr int64_t kSeparatorLength = 3;

} // namespace

void CSeparatorScanner::Complete(int64_t closingLineFeed)
{
    m_offsets.push_back(closingLineFeed + 1);
    m_lastClosingLineFeed = closingLineFeed;
}

// "%" at percentPosition starts the last two bytes of a separator when a line
// feed precedes it that did not itself close a separator.
bool CSeparatorScanner::OpensSeparator(int64_t percentPosition, bool lineFeedBefore) const
{
    return lineFeedBefore && percentPosition - 1 != m_lastClosingLineFeed;
}

void CSeparatorScanner::Feed(const char* data, size_t length)
{
    if (length == 0)
        return;
    const int64_t base = m_position;
    const bool inHeader = m_offsets.empty();
    if (m_percentPending && data[0] == '\n')
        Complete(base);
    m_percentPending = false;
    if (m_offsets.empty())
        m_header.append(data, length);

    const char* const end = data + length;
    const char* cursor = data;
    while (const void* hit = std::memchr(cursor, '%', static_cast<size_t>(end - cursor))) {
        const char* percent = static_cast<const char*>(hit);
        const auto index = static_cast<int64_t>(percent - data);
        const bool lineFeedBefore =
            percent > data ? percent[-1] == '\n' : (base > 0 && m_lastByte == '\n');
        cursor = percent + 1;
        if (!OpensSeparator(base + index, lineFeedBefore))
            continue;
        if (cursor == end)
            m_percentPending = true;
        else if (*cursor == '\n')
            Complete(base + index + 1);
    }

    m_lastByte = data[length - 1];
    m_position += static_cast<int64_t>(length);
    if (inHeader && !m_offsets.empty())
        m_header.resize(static_cast<size_t>(m_offsets.front() - kSeparatorLength));
}

} // namespace zrv

#include "engine/CArchiveSnapshot.h"

#include "engine/CArchiveText.h"

#include <climits>

namespace zrv {

namespace {

constexpr size_t kSeparatorLength = 3;

} // namespace

CArchiveSnapshot::CArchiveSnapshot(std::string header, std::unique_ptr<char[]> bytes, size_t size,
                                   std::vector<size_t> starts)
    : m_header(std::move(header)), m_bytes(std::move(bytes)), m_size(size),
      m_starts(std::move(starts))
{}

int32_t CArchiveSnapshot::Count() const
{
    const size_t count = m_starts.size();
    return count > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(count);
}

std::string_view CArchiveSnapshot::Stored(int32_t index) const
{
    if (index < 1 || index > Count())
        return {};
    const auto slot = static_cast<size_t>(index - 1);
    const size_t end = slot + 1 < m_starts.size() ? m_starts[slot + 1] - kSeparatorLength : m_size;
    return std::string_view(m_bytes.get(), m_size).substr(m_starts[slot], end - m_starts[slot]);
}

std::string CArchiveSnapshot::Item(int32_t index) const
{
    return CArchiveText::HandedOut(Stored(index));
}

std::string CArchiveSnapshot::Header() const
{
    return CArchiveText::HandedOut(m_header);
}

} // namespace zrv

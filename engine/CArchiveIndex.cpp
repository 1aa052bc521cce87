#include "engine/CArchiveIndex.h"

#include "engine/CArchiveError.h"
#include "engine/CSeparatorScanner.h"
#include "engine/Diagnostic.h"
#include "engine/FilePaths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace zrv {

namespace {

constexpr size_t kReadBlock = size_t{1} << 20;

} // namespace

void CArchiveIndex::Clear()
{
    m_sHeader.clear();
    m_sStamp = CFileStamp();
    m_offsets.clear();
    m_reader.Close();
}

void CArchiveIndex::Build(CUniqueFd file, const CFileStamp& stamp, const std::string& path)
{
    const int fd = file.Get();
    m_sHeader.clear();
    m_offsets.clear();
    m_sStamp = stamp;
    CSeparatorScanner scanner;
    std::vector<char> block(kReadBlock);
    int64_t position = 0;
    while (position < stamp.Size()) {
        const int64_t wanted = std::min<int64_t>(stamp.Size() - position, kReadBlock);
        const long long got = ReadFully(fd, block.data(), wanted, position);
        if (got <= 0) {
            Diagnose("The archive was indexed only in part", path,
                     got < 0 ? std::strerror(errno) : "it ended early");
            break;
        }
        scanner.Feed(block.data(), static_cast<size_t>(got));
        position += got;
    }
    m_sHeader = scanner.TakeHeader();
    m_offsets = scanner.TakeOffsets();
    m_reader.Attach(std::move(file));
}

void CArchiveIndex::ReleaseIfUnlinked()
{
    struct stat status {};
    if (m_reader.IsOpen() && ::fstat(m_reader.Fd(), &status) == 0 && status.st_nlink == 0) {
        m_reader.Close();
        m_sStamp = CFileStamp();
    }
}

int64_t CArchiveIndex::SeparatorAt(size_t slot) const
{
    return slot < m_offsets.size() ? m_offsets[slot] - kSeparatorLength : m_sStamp.Size();
}

std::string_view CArchiveIndex::Read(size_t slot, const std::string& path)
{
    const int64_t start = m_offsets[slot];
    const int64_t end = SeparatorAt(slot + 1);
    const std::string_view stored = m_reader.Read(start, end);
    if (static_cast<int64_t>(stored.size()) != end - start)
        Diagnose("A fortune was read only in part", path,
                 "fortune " + std::to_string(slot + 1) + " is handed out short");
    return stored;
}

CArchiveSnapshot CArchiveIndex::Snapshot()
{
    if (m_offsets.empty())
        return CArchiveSnapshot(m_sHeader, {}, 0, {});
    const int64_t first = SeparatorAt(0);
    const int64_t length = m_sStamp.Size() - first;
    auto bytes = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(length));
    if (!m_reader.IsOpen() || ReadFully(m_reader.Fd(), bytes.get(), length, first) != length)
        throw CArchiveError(CArchiveError::Kind::Failed, "The archive could not be read");
    std::vector<size_t> starts;
    starts.reserve(m_offsets.size());
    for (const int64_t offset : m_offsets)
        starts.push_back(static_cast<size_t>(offset - first));
    return CArchiveSnapshot(m_sHeader, std::move(bytes), static_cast<size_t>(length),
                            std::move(starts));
}

// Whether the indexed state ends in a line of only "%" (or cannot tell): the
// first appended separator may then complete one line early, which only a
// scan of the file tells.
bool CArchiveIndex::EndsInPercentLine()
{
    const int64_t size = m_sStamp.Size();
    char tail[2] = {};
    return size >= 2 && (ReadFully(m_reader.Fd(), tail, 2, size - 2) != 2 ||
                         (tail[0] == '\n' && tail[1] == '%'));
}

bool CArchiveIndex::Extend(int fd, const CFileStamp& before, size_t appended,
                           const std::vector<int64_t>& starts)
{
    if (m_sStamp.IsEmpty() || before != m_sStamp || !m_reader.IsOpen())
        return false;
    const auto after = CFileStamp::OfFd(fd);
    const int64_t oldSize = before.Size();
    if (!after || after->Size() != oldSize + static_cast<int64_t>(appended) || EndsInPercentLine())
        return false;
    for (const int64_t start : starts)
        m_offsets.push_back(oldSize + start);
    m_sStamp = *after;
    return true;
}

bool CArchiveIndex::TakeAppended(const std::string& target, const std::string& appended)
{
    const int64_t oldSize = m_sStamp.Size();
    if (EndsInPercentLine())
        return false;
    struct stat status {};
    CUniqueFd file = filepaths::OpenRegular(target, O_RDONLY, status);
    if (!file.IsOpen() || status.st_size != oldSize + static_cast<int64_t>(appended.size()))
        return false;
    CSeparatorScanner scanner;
    scanner.Feed(appended.data(), appended.size());
    for (const int64_t offset : scanner.Offsets())
        m_offsets.push_back(oldSize + offset);
    m_sStamp = CFileStamp(status);
    m_reader.Attach(std::move(file));
    return true;
}

// A piece after the last fortune follows the old end of the file, where a last
// line of only "%" would be read differently: such a file is scanned again.
bool CArchiveIndex::TakeInserted(const std::string& target, const std::vector<int32_t>& before,
                                 const std::vector<size_t>& ends)
{
    const int64_t inserted = ends.empty() ? 0 : static_cast<int64_t>(ends.back());
    if (!before.empty() && static_cast<size_t>(before.back()) == m_offsets.size() &&
        EndsInPercentLine())
        return false;
    struct stat status {};
    CUniqueFd file = filepaths::OpenRegular(target, O_RDONLY, status);
    if (!file.IsOpen() || status.st_size != m_sStamp.Size() + inserted)
        return false;
    std::vector<int64_t> offsets;
    offsets.reserve(m_offsets.size() + ends.size());
    int64_t shift = 0;
    size_t slot = 0;
    size_t start = 0;
    for (size_t k = 0; k < ends.size(); ++k) {
        for (; slot < static_cast<size_t>(before[k]); ++slot)
            offsets.push_back(m_offsets[slot] + shift);
        offsets.push_back(SeparatorAt(slot) + shift + kSeparatorLength);
        shift += static_cast<int64_t>(ends[k] - start);
        start = ends[k];
    }
    for (; slot < m_offsets.size(); ++slot)
        offsets.push_back(m_offsets[slot] + shift);
    m_offsets = std::move(offsets);
    m_sStamp = CFileStamp(status);
    m_reader.Attach(std::move(file));
    return true;
}

} // namespace zrv

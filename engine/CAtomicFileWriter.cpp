#include "engine/CAtomicFileWriter.h"

#include "engine/Diagnostic.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv {

namespace {

constexpr size_t kBlockSize = size_t{1} << 20;

// Removes the temporary file; one already gone is no failure.
void RemoveTemporary(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        DiagnoseErrno("The temporary file was not removed", path, errno);
}

} // namespace

std::string CAtomicFileWriter::TemporaryPath(const std::string& target)
{
    return target + ".zrv.tmp";
}

CAtomicFileWriter::CAtomicFileWriter(std::string target, const struct stat& targetStatus,
                                     int folderFd)
    : m_target(std::move(target)), m_temporary(TemporaryPath(m_target)), m_folderFd(folderFd)
{
    RemoveTemporary(m_temporary);
    m_file = CUniqueFd(
        ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!m_file.IsOpen()) {
        m_failed = true;
        return;
    }
    // Owner first: fchown may clear set-id bits that fchmod then restores. Only
    // the superuser may give a file away, so EPERM is the rule, not a failure.
    if (::fchown(m_file.Get(), targetStatus.st_uid, targetStatus.st_gid) != 0 && errno != EPERM)
        DiagnoseErrno("The owner was not carried over", m_temporary, errno);
    if (::fchmod(m_file.Get(), targetStatus.st_mode & 07777) != 0)
        Fail();
    m_buffer.resize(kBlockSize);
}

CAtomicFileWriter::~CAtomicFileWriter()
{
    if (!m_committed)
        Fail();
}

void CAtomicFileWriter::Fail()
{
    if (m_failed)
        return;
    m_failed = true;
    m_file.Close();
    RemoveTemporary(m_temporary);
}

bool CAtomicFileWriter::Flush()
{
    if (m_failed)
        return false;
    if (m_used > 0 && !WriteFully(m_file.Get(), m_buffer.data(), static_cast<long long>(m_used))) {
        Fail();
        return false;
    }
    m_used = 0;
    return true;
}

bool CAtomicFileWriter::Write(const char* data, size_t length)
{
    if (m_failed)
        return false;
    if (m_used + length > m_buffer.size() && !Flush())
        return false;
    if (length >= m_buffer.size()) {
        if (!WriteFully(m_file.Get(), data, static_cast<long long>(length))) {
            Fail();
            return false;
        }
        return true;
    }
    std::memcpy(m_buffer.data() + m_used, data, length);
    m_used += length;
    return true;
}

bool CAtomicFileWriter::CopyRange(int sourceFd, int64_t offset, int64_t length)
{
    if (length >= static_cast<int64_t>(kBlockSize))
        return CopyDirectly(sourceFd, offset, length);
    while (!m_failed && length > 0) {
        if (!ReadAhead(sourceFd, offset)) {
            Fail();
            return false;
        }
        const int64_t held = m_aheadStart + static_cast<int64_t>(m_aheadLength) - offset;
        const int64_t chunk = length < held ? length : held;
        if (!Write(m_ahead.data() + (offset - m_aheadStart), static_cast<size_t>(chunk)))
            return false;
        offset += chunk;
        length -= chunk;
    }
    return !m_failed;
}

// Makes the read-ahead block hold the byte of `sourceFd` at `offset`, reading
// a block from there when it does not; false when the source ends before it.
bool CAtomicFileWriter::ReadAhead(int sourceFd, int64_t offset)
{
    if (sourceFd == m_aheadFd && offset >= m_aheadStart &&
        offset < m_aheadStart + static_cast<int64_t>(m_aheadLength))
        return true;
    m_ahead.resize(kBlockSize);
    const long long got = ReadFully(sourceFd, m_ahead.data(), kBlockSize, offset);
    m_aheadFd = got > 0 ? sourceFd : -1;
    m_aheadStart = offset;
    m_aheadLength = got > 0 ? static_cast<size_t>(got) : 0;
    return got > 0;
}

bool CAtomicFileWriter::CopyDirectly(int sourceFd, int64_t offset, int64_t length)
{
    while (!m_failed && length > 0) {
        if (m_used == m_buffer.size() && !Flush())
            return false;
        const auto room = static_cast<int64_t>(m_buffer.size() - m_used);
        const int64_t chunk = length < room ? length : room;
        if (ReadFully(sourceFd, m_buffer.data() + m_used, chunk, offset) != chunk) {
            Fail();
            return false;
        }
        m_used += static_cast<size_t>(chunk);
        offset += chunk;
        length -= chunk;
    }
    return !m_failed;
}

bool CAtomicFileWriter::Commit()
{
    if (!Flush())
        return false;
    if (::fsync(m_file.Get()) != 0 || !m_file.Close()) {
        Fail();
        return false;
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        Fail();
        return false;
    }
    m_committed = true;
    if (m_folderFd >= 0 && ::fsync(m_folderFd) != 0)
        DiagnoseErrno("The archive's folder was not synced", m_target, errno);
    return true;
}

} // namespace zrv

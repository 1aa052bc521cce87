#include "engine/CArchiveRewrite.h"

#include "engine/CArchiveIndex.h"
#include "engine/CAtomicFileWriter.h"
#include "engine/CFolderLock.h"
#include "engine/CUniqueFd.h"
#include "engine/FilePaths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace zrv {

using namespace filepaths;

namespace {

constexpr char kSeparator[] = "\n%\n";
constexpr int64_t kSeparatorLength = CArchiveIndex::kSeparatorLength;

} // namespace

CArchiveRewrite::CArchiveRewrite(CArchiveIndex& index, const std::string& path)
    : m_index(index), m_sPath(path)
{}

CArchiveRewrite::Outcome CArchiveRewrite::Apply(const std::string* header, const Change& change)
{
    const std::string target = ResolvedPath(m_sPath);
    const CFolderLock lock(FolderOf(target));
    struct stat status {};
    CUniqueFd source = OpenRegular(target, O_RDONLY, status);
    if (!source.IsOpen())
        return Outcome::Gone;
    if (CFileStamp(status) != m_index.Stamp())
        m_index.Build(std::move(source), CFileStamp(status), m_sPath);
    const bool inRange =
        change.indexes.empty() || static_cast<size_t>(change.indexes.back()) <= m_index.Count();
    if (!inRange)
        return Outcome::OutOfRange;
    if (!MayWrite(target))
        return Outcome::ReadOnly;
    // The kept descriptor is now the file `status` describes.
    if (!WriteArchive(m_index.Fd(), status, lock.FolderFd(), target,
                      header ? *header : m_index.Header(), change)) {
        m_error = errno;
        m_bReload = true;
        return Outcome::WriteFailed;
    }
    m_bReload = !KeepIndex(target, change);
    return Outcome::Done;
}

// Why a change left the file as it was.
std::string CArchiveRewrite::Reason(Outcome outcome, int error)
{
    switch (outcome) {
    case Outcome::Done:
        break;
    case Outcome::Gone:
        return "the archive file no longer exists";
    case Outcome::OutOfRange:
        return "a fortune index is out of range";
    case Outcome::ReadOnly:
        return "the archive file may not be written";
    case Outcome::WriteFailed:
        return std::string("the archive could not be written (") + std::strerror(error) + ")";
    }
    return {};
}

// After an append or insertion, the index is brought up to the written file
// from what was written rather than by a scan of it.
bool CArchiveRewrite::KeepIndex(const std::string& target, const Change& change)
{
    if (change.kind == Change::Kind::Append)
        return m_index.TakeAppended(target, change.text);
    if (change.kind == Change::Kind::Insert)
        return m_index.TakeInserted(target, change.indexes, change.ends);
    return false;
}

// The fortunes are copied as stored, separators included, in large ranges
// around the changed one: one pass over the archive, every byte verbatim.
bool CArchiveRewrite::WriteArchive(int sourceFd, const struct stat& status, int folderFd,
                                   const std::string& target, const std::string& header,
                                   const Change& change) const
{
    CAtomicFileWriter writer(target, status, folderFd);
    if (!writer.Write(header))
        return false;
    const int64_t first = m_index.SeparatorAt(0);
    const int64_t end = m_index.Stamp().Size();
    if (change.kind == Change::Kind::Append)
        return writer.CopyRange(sourceFd, first, end - first) && writer.Write(change.text) &&
               writer.Commit();
    if (change.kind == Change::Kind::Insert)
        return WriteInserted(writer, sourceFd, change) && writer.Commit();

    // Everything between the changed fortunes is copied in one range.
    int64_t copied = first;
    bool ok = true;
    for (const int32_t index : change.indexes) {
        const auto slot = static_cast<size_t>(index - 1);
        ok = ok && writer.CopyRange(sourceFd, copied, m_index.SeparatorAt(slot) - copied);
        if (ok && change.kind == Change::Kind::Replace)
            ok = writer.Write(kSeparator, kSeparatorLength) && writer.Write(change.text);
        copied = m_index.SeparatorAt(slot + 1);
    }
    return ok && writer.CopyRange(sourceFd, copied, end - copied) && writer.Commit();
}

// The present fortunes in ranges as long as the insertions allow, each piece
// written where its place falls between them.
bool CArchiveRewrite::WriteInserted(CAtomicFileWriter& writer, int sourceFd,
                                    const Change& change) const
{
    int64_t copied = m_index.SeparatorAt(0);
    size_t start = 0;
    for (size_t k = 0; k < change.ends.size(); ++k) {
        const int64_t at = m_index.SeparatorAt(static_cast<size_t>(change.indexes[k]));
        if (!writer.CopyRange(sourceFd, copied, at - copied) ||
            !writer.Write(change.text.data() + start, change.ends[k] - start))
            return false;
        copied = at;
        start = change.ends[k];
    }
    return writer.CopyRange(sourceFd, copied, m_index.Stamp().Size() - copied);
}

} // namespace zrv

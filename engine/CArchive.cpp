#include "engine/CArchive.h"

#include "engine/CAtomicFileWriter.h"
#include "engine/CFolderLock.h"
#include "engine/CSeparatorScanner.h"
#include "engine/CUniqueFd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv {

namespace {

constexpr char kSeparator[] = "\n%\n";
constexpr int64_t kSeparatorLength = 3;
constexpr size_t kReadBlock = size_t{1} << 20;

std::atomic<CArchive::FaultHook> g_faultHook{nullptr};

void Checkpoint(const char* operation)
{
    if (const CArchive::FaultHook hook = g_faultHook.load())
        hook(operation);
}

// The file a path finally names, so that rewriting through a symbolic link
// replaces the file and not the link. A path that does not resolve stays as given.
std::string ResolvedPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : path;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Position just after the last path separator; "\" counts too, so a path
// written with backslashes splits as it would where it was written.
size_t NameStart(const std::string& path)
{
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

bool IsBareName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Whether this user may change the file: the file's own permission, not the
// folder's, which would let a rename replace a read-only file.
bool MayWrite(const std::string& path)
{
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Opens `path` without waiting on a FIFO or device and keeps it only when it is
// a regular file; `status` receives its state.
CUniqueFd OpenRegular(const std::string& path, int flags, struct stat& status, mode_t mode = 0)
{
    CUniqueFd file(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return file;
}

// Texts are handed out as NUL-terminated strings.
std::string_view UpToNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link refuses an existing target too.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

} // namespace

void CArchive::SetFaultHook(FaultHook hook)
{
    g_faultHook.store(hook);
}

void CArchive::Reset()
{
    m_sFile.clear();
    m_sHeader.clear();
    m_sStamp = CFileStamp();
    m_offsets.clear();
    m_reader.Close();
}

bool CArchive::FileStamp(CFileStamp& stamp) const
{
    if (m_sFile.empty()) {
        stamp = CFileStamp();
        return true;
    }
    const auto current = CFileStamp::OfPath(m_sFile);
    if (!current)
        return false;
    stamp = *current;
    return true;
}

void CArchive::Load(const std::string& path)
{
    Checkpoint("Load");
    std::string opened = path; // `path` may be m_sFile itself, which Reset clears
    struct stat status {};
    // Only regular files are archives: a folder opens but cannot be read, a FIFO
    // would wait for a writer.
    CUniqueFd file = OpenRegular(opened, O_RDONLY, status);
    Reset();
    if (!file.IsOpen())
        return;
    m_sFile = std::move(opened);
    LoadFrom(std::move(file), CFileStamp(status));
}

// Indexes the open file as it stood at `stamp` and keeps it for later reads:
// bytes appended later belong to a newer state, which the next stamp
// comparison finds.
void CArchive::LoadFrom(CUniqueFd file, const CFileStamp& stamp)
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
        if (got <= 0)
            break;
        scanner.Feed(block.data(), static_cast<size_t>(got));
        position += got;
    }
    m_sHeader = scanner.TakeHeader();
    m_offsets = scanner.TakeOffsets();
    m_reader.Attach(std::move(file));
}

// The kept descriptor must not hold a deleted file's space: once the file is
// linked nowhere it is closed, and the stamp forgotten so that the next
// Count reloads from the path.
void CArchive::ReleaseIfUnlinked()
{
    struct stat status {};
    if (m_reader.IsOpen() && ::fstat(m_reader.Fd(), &status) == 0 && status.st_nlink == 0) {
        m_reader.Close();
        m_sStamp = CFileStamp();
    }
}

void CArchive::ReloadIfChanged()
{
    if (m_sFile.empty())
        return;
    CFileStamp current;
    if (!FileStamp(current) || current != m_sStamp)
        Load(m_sFile);
}

int32_t CArchive::Count()
{
    Checkpoint("Count");
    ReloadIfChanged();
    const size_t count = m_offsets.size();
    return count > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(count);
}

// The stored bytes of one fortune, valid until the next read. Count has just
// seen the path name the file the index was built from, in the same state, so
// the kept descriptor reads exactly that file; a file replaced after that look
// is read as it stood at it, and found by the next call.
std::string_view CArchive::ReadFortune(int32_t index)
{
    const int32_t count = Count();
    if (index < 1 || index > count || static_cast<size_t>(index) > m_offsets.size())
        return {};
    const auto slot = static_cast<size_t>(index - 1);
    const int64_t start = m_offsets[slot];
    const int64_t end =
        slot + 1 < m_offsets.size() ? m_offsets[slot + 1] - kSeparatorLength : m_sStamp.Size();
    return m_reader.Read(start, end);
}

std::string CArchive::Item(int32_t index)
{
    Checkpoint("Item");
    return ToCrLf(UpToNul(ReadFortune(index)));
}

void CArchive::Add(const std::string& text)
{
    Checkpoint("Add");
    const std::string trimmed = TrimLineBreaks(text);
    if (trimmed.empty() || m_sFile.empty()) {
        ReleaseIfUnlinked();
        return;
    }
    AppendFortune(trimmed);
    Load(m_sFile);
}

// Appends one separator and text in a single write. A failed write is cut
// back off, so the archive never ends in a partial fortune.
void CArchive::AppendFortune(const std::string& text) const
{
    const std::string target = ResolvedPath(m_sFile);
    const CFolderLock lock(FolderOf(target));
    const bool existed = ::access(target.c_str(), F_OK) == 0;
    if (existed && !MayWrite(target))
        return;
    struct stat status {};
    const CUniqueFd file =
        OpenRegular(target, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW, status, 0666);
    if (!file.IsOpen())
        return;
    const std::string bytes = kSeparator + text;
    if (!WriteFully(file.Get(), bytes.data(), static_cast<long long>(bytes.size()))) {
        [[maybe_unused]] const int ignored = ::ftruncate(file.Get(), status.st_size);
        return;
    }
    ::fdatasync(file.Get());
    if (!existed && lock.FolderFd() >= 0)
        ::fsync(lock.FolderFd());
}

void CArchive::SetItem(int32_t index, const std::string& text)
{
    Checkpoint("SetItem");
    std::string trimmed = TrimLineBreaks(text);
    if (trimmed.empty()) {
        Delete(index);
        return;
    }
    const int32_t count = Count();
    if (index < 1 || index > count || m_sFile.empty())
        return;
    RewriteArchive(nullptr, Change{Change::Kind::Replace, index, std::move(trimmed)});
}

void CArchive::Delete(int32_t index)
{
    Checkpoint("Delete");
    const int32_t count = Count();
    if (index < 1 || index > count || m_sFile.empty())
        return;
    RewriteArchive(nullptr, Change{Change::Kind::Remove, index, {}});
}

std::string CArchive::Header()
{
    Checkpoint("Header");
    ReleaseIfUnlinked();
    return ToCrLf(UpToNul(m_sHeader));
}

void CArchive::SetHeader(const std::string& text)
{
    Checkpoint("SetHeader");
    if (m_sFile.empty())
        return;
    RewriteArchive(&text, Change{});
}

// Writes the archive afresh with `header` (the stored one when null) and the
// change, then loads it again. Runs under the folder lock on the file as it
// then stands: when that is no longer the file the index was built from, the
// index is rebuilt first and the change applies to it.
void CArchive::RewriteArchive(const std::string* header, const Change& change)
{
    const std::string target = ResolvedPath(m_sFile);
    {
        const CFolderLock lock(FolderOf(target));
        struct stat status {};
        CUniqueFd source = OpenRegular(target, O_RDONLY, status);
        if (!source.IsOpen()) {
            Reset();
            return;
        }
        if (CFileStamp(status) != m_sStamp)
            LoadFrom(std::move(source), CFileStamp(status));
        const bool inRange = change.kind == Change::Kind::None ||
                             static_cast<size_t>(change.index) <= m_offsets.size();
        if (!inRange || !MayWrite(target))
            return;
        // The kept descriptor is now the file `status` describes.
        WriteArchive(m_reader.Fd(), status, lock.FolderFd(), target, header ? *header : m_sHeader,
                     change);
    }
    Load(m_sFile);
}

// The fortunes are copied as stored, separators included, in large ranges
// around the changed one: one pass over the archive, every byte verbatim.
bool CArchive::WriteArchive(int sourceFd, const struct stat& status, int folderFd,
                            const std::string& target, const std::string& header,
                            const Change& change) const
{
    CAtomicFileWriter writer(target, status, folderFd);
    if (!writer.Write(header))
        return false;
    if (m_offsets.empty())
        return writer.Commit();
    const int64_t first = m_offsets.front() - kSeparatorLength;
    const int64_t end = m_sStamp.Size();
    if (change.kind == Change::Kind::None)
        return writer.CopyRange(sourceFd, first, end - first) && writer.Commit();

    const auto slot = static_cast<size_t>(change.index - 1);
    const int64_t changedStart = m_offsets[slot] - kSeparatorLength;
    const int64_t changedEnd =
        slot + 1 < m_offsets.size() ? m_offsets[slot + 1] - kSeparatorLength : end;
    bool ok = writer.CopyRange(sourceFd, first, changedStart - first);
    if (ok && change.kind == Change::Kind::Replace)
        ok = writer.Write(kSeparator, kSeparatorLength) && writer.Write(change.text);
    return ok && writer.CopyRange(sourceFd, changedEnd, end - changedEnd) && writer.Commit();
}

void CArchive::Create(const std::string& path)
{
    Checkpoint("Create");
    Reset();
    m_sFile = path;
    const std::string target = ResolvedPath(path);
    const CFolderLock lock(FolderOf(target));
    // Without waiting for a reader, should the path name a FIFO.
    const CUniqueFd file(
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!file.IsOpen())
        return;
    ::fsync(file.Get());
    if (lock.FolderFd() >= 0)
        ::fsync(lock.FolderFd());
}

std::string CArchive::Name()
{
    Checkpoint("Name");
    ReleaseIfUnlinked();
    return m_sFile.substr(NameStart(m_sFile));
}

void CArchive::Rename(const std::string& newName)
{
    Checkpoint("Rename");
    ReleaseIfUnlinked();
    if (m_sFile.empty() || !IsBareName(newName))
        return;
    const std::string target = m_sFile.substr(0, NameStart(m_sFile)) + newName;
    const CFolderLock lock(FolderOf(ResolvedPath(m_sFile)));
    if (RenameNoReplace(m_sFile, target))
        m_sFile = target;
}

std::string CArchive::TrimLineBreaks(const std::string& text)
{
    const size_t last = text.find_last_not_of("\r\n");
    if (last == std::string::npos)
        return {};
    const size_t first = text.find_first_not_of("\r\n");
    return text.substr(first, last - first + 1);
}

std::string CArchive::ToCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    size_t copied = 0;
    for (size_t lineFeed = text.find('\n'); lineFeed != std::string_view::npos;
         lineFeed = text.find('\n', lineFeed + 1)) {
        if (lineFeed > 0 && text[lineFeed - 1] == '\r')
            continue;
        result.append(text.substr(copied, lineFeed - copied));
        result.push_back('\r');
        copied = lineFeed;
    }
    result.append(text.substr(copied));
    return result;
}

} // namespace zrv

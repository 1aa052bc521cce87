#include "engine/CArchive.h"

#include "engine/CArchiveError.h"
#include "engine/CAtomicFileWriter.h"
#include "engine/CFolderLock.h"
#include "engine/CSeparatorScanner.h"
#include "engine/CUniqueFd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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

[[noreturn]] void Fail(const std::string& reason,
                       CArchiveError::Kind kind = CArchiveError::Kind::Failed)
{
    throw CArchiveError(kind, reason);
}

// Whether LF % LF occurs in the text, found from its "%", which is rare
// where line feeds are not.
bool HoldsSeparator(std::string_view text)
{
    for (size_t at = text.find('%', 1); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('%', at + 1))
        if (text[at - 1] == '\n' && text[at + 1] == '\n')
            return true;
    return false;
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
    return HandedOut(ReadFortune(index));
}

void CArchive::Add(const std::string& text)
{
    Checkpoint("Add");
    const std::string trimmed = TrimLineBreaks(text);
    if (!trimmed.empty())
        Refuse(trimmed, 0);
    if (trimmed.empty() || m_sFile.empty()) {
        ReleaseIfUnlinked();
        return;
    }
    Append(kSeparator + trimmed, {kSeparatorLength});
}

// A rewrite rather than an append in place: a process killed in the middle
// of a large write leaves part of it in the file, a rename never does.
void CArchive::AddMany(const std::vector<std::string>& texts, AddMode mode)
{
    size_t size = 0;
    for (const std::string& text : texts)
        size += text.size();
    AddMany(
        texts.size(), [&](size_t position) { return std::string_view(texts[position]); }, mode,
        size);
}

void CArchive::AddMany(size_t count, const TextSource& text, AddMode mode, size_t sizeHint)
{
    Checkpoint("AddMany");
    const bool exact = mode == AddMode::Exact;
    std::string bytes;
    bytes.reserve(sizeHint + count * kSeparatorLength);
    for (size_t i = 0; i < count; ++i) {
        const std::string_view given = text(i);
        const std::string_view kept = exact ? given : Trimmed(given);
        if (kept.empty() && !exact)
            continue;
        Refuse(kept, i + 1);
        bytes.append(kSeparator, kSeparatorLength);
        bytes.append(kept);
    }
    if (bytes.empty()) {
        ReleaseIfUnlinked();
        return;
    }
    if (m_sFile.empty())
        Fail("The fortunes were not added: no archive is open");
    const Outcome outcome =
        RewriteArchive(nullptr, Change{Change::Kind::Append, {}, std::move(bytes)});
    FailOn("The fortunes were not added", outcome, errno);
}

// Appends `bytes` (separators and texts; `starts` gives where each text
// begins in them) in a single write synced before it returns. A failed write
// or sync is cut back off, so the archive never ends in a partial fortune.
// When the file was the one the index describes, the index is extended;
// otherwise it is rebuilt from the file.
CArchive::Outcome CArchive::Append(const std::string& bytes, const std::vector<int64_t>& starts)
{
    const std::string target = ResolvedPath(m_sFile);
    Outcome outcome = Outcome::WriteFailed;
    bool extended = false;
    int error = 0;
    {
        const CFolderLock lock(FolderOf(target));
        const bool existed = ::access(target.c_str(), F_OK) == 0;
        struct stat status {};
        const CUniqueFd file =
            existed && !MayWrite(target)
                ? CUniqueFd()
                : OpenRegular(target, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW, status, 0666);
        if (!file.IsOpen()) {
            outcome = existed ? Outcome::ReadOnly : Outcome::Gone;
            error = errno;
        } else if (!WriteFully(file.Get(), bytes.data(), static_cast<long long>(bytes.size())) ||
                   ::fdatasync(file.Get()) != 0) {
            error = errno;
            [[maybe_unused]] const int ignored = ::ftruncate(file.Get(), status.st_size);
        } else {
            if (!existed && lock.FolderFd() >= 0)
                ::fsync(lock.FolderFd());
            outcome = Outcome::Done;
            extended = ExtendIndex(file.Get(), CFileStamp(status), bytes.size(), starts);
        }
    }
    if (!extended)
        Load(m_sFile);
    errno = error;
    return outcome;
}

// Takes the appended fortunes into the index when the file was, before the
// append, the one the index describes, and grew by exactly the appended
// bytes. Not when the file ended in a line of only "%": the first new
// separator may then complete one line early, which only a scan can tell.
bool CArchive::ExtendIndex(int fd, const CFileStamp& before, size_t appended,
                           const std::vector<int64_t>& starts)
{
    if (m_sStamp.IsEmpty() || before != m_sStamp || !m_reader.IsOpen())
        return false;
    const auto after = CFileStamp::OfFd(fd);
    const int64_t oldSize = before.Size();
    if (!after || after->Size() != oldSize + static_cast<int64_t>(appended))
        return false;
    char tail[2] = {};
    if (oldSize >= 2 && (ReadFully(m_reader.Fd(), tail, 2, oldSize - 2) != 2 ||
                         (tail[0] == '\n' && tail[1] == '%')))
        return false;
    for (const int64_t start : starts)
        m_offsets.push_back(oldSize + start);
    m_sStamp = *after;
    return true;
}

void CArchive::SetItem(int32_t index, const std::string& text)
{
    Checkpoint("SetItem");
    std::string trimmed = TrimLineBreaks(text);
    if (trimmed.empty()) {
        Delete(index);
        return;
    }
    Refuse(trimmed, 0);
    const int32_t count = Count();
    if (index < 1 || index > count || m_sFile.empty())
        return;
    RewriteArchive(nullptr, Change{Change::Kind::Replace, {index}, std::move(trimmed)});
}

void CArchive::Delete(int32_t index)
{
    Checkpoint("Delete");
    const int32_t count = Count();
    if (index < 1 || index > count || m_sFile.empty())
        return;
    RewriteArchive(nullptr, Change{Change::Kind::Remove, {index}, {}});
}

void CArchive::DeleteMany(std::vector<int32_t> indexes)
{
    Checkpoint("DeleteMany");
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    const int32_t count = Count();
    if (indexes.empty())
        return;
    if (m_sFile.empty())
        Fail("The fortunes were not deleted: no archive is open");
    if (indexes.front() < 1 || indexes.back() > count)
        FailOn("The fortunes were not deleted", Outcome::OutOfRange, 0);
    const Outcome outcome =
        RewriteArchive(nullptr, Change{Change::Kind::Remove, std::move(indexes), {}});
    FailOn("The fortunes were not deleted", outcome, errno);
}

CArchiveSnapshot CArchive::Snapshot()
{
    Checkpoint("Snapshot");
    ReloadIfChanged();
    if (m_offsets.empty() || m_sFile.empty())
        return CArchiveSnapshot(m_sHeader, {}, 0, {});
    const int64_t first = m_offsets.front() - kSeparatorLength;
    const int64_t length = m_sStamp.Size() - first;
    auto bytes = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(length));
    if (!m_reader.IsOpen() || ReadFully(m_reader.Fd(), bytes.get(), length, first) != length)
        Fail("The archive could not be read");
    std::vector<size_t> starts;
    starts.reserve(m_offsets.size());
    for (const int64_t offset : m_offsets)
        starts.push_back(static_cast<size_t>(offset - first));
    return CArchiveSnapshot(m_sHeader, std::move(bytes), static_cast<size_t>(length),
                            std::move(starts));
}

std::string CArchive::Header()
{
    Checkpoint("Header");
    ReleaseIfUnlinked();
    return HandedOut(m_sHeader);
}

void CArchive::SetHeader(const std::string& text)
{
    Checkpoint("SetHeader");
    Refuse(text, 0);
    if (m_sFile.empty())
        return;
    RewriteArchive(&text, Change{});
}

// Writes the archive afresh with `header` (the stored one when null) and the
// change, then loads it again. Runs under the folder lock on the file as it
// then stands: when that is no longer the file the index was built from, the
// index is rebuilt first and the change applies to it.
CArchive::Outcome CArchive::RewriteArchive(const std::string* header, const Change& change)
{
    const std::string target = ResolvedPath(m_sFile);
    Outcome outcome = Outcome::Done;
    int error = 0;
    {
        const CFolderLock lock(FolderOf(target));
        struct stat status {};
        CUniqueFd source = OpenRegular(target, O_RDONLY, status);
        if (!source.IsOpen()) {
            Reset();
            return Outcome::Gone;
        }
        if (CFileStamp(status) != m_sStamp)
            LoadFrom(std::move(source), CFileStamp(status));
        const bool inRange = change.indexes.empty() ||
                             static_cast<size_t>(change.indexes.back()) <= m_offsets.size();
        if (!inRange)
            return Outcome::OutOfRange;
        if (!MayWrite(target))
            return Outcome::ReadOnly;
        // The kept descriptor is now the file `status` describes.
        if (!WriteArchive(m_reader.Fd(), status, lock.FolderFd(), target,
                          header ? *header : m_sHeader, change)) {
            outcome = Outcome::WriteFailed;
            error = errno;
        } else if (change.kind == Change::Kind::Append && TakeAppended(target, change.text)) {
            return Outcome::Done;
        }
    }
    Load(m_sFile);
    errno = error;
    return outcome;
}

// After a rewrite that appended `appended` to the file the index describes:
// the index is extended by a scan of those bytes in memory instead of a read
// of the whole file, and the new file kept for reading. Not when the old text
// ended in a line of only "%" (the first new separator could complete one
// line early, which only a scan of the file tells), nor when the file in
// place is not the written one's size.
bool CArchive::TakeAppended(const std::string& target, const std::string& appended)
{
    const int64_t oldSize = m_sStamp.Size();
    char tail[2] = {};
    if (oldSize >= 2 && (ReadFully(m_reader.Fd(), tail, 2, oldSize - 2) != 2 ||
                         (tail[0] == '\n' && tail[1] == '%')))
        return false;
    struct stat status {};
    CUniqueFd file = OpenRegular(target, O_RDONLY, status);
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

// The fortunes are copied as stored, separators included, in large ranges
// around the changed one: one pass over the archive, every byte verbatim.
bool CArchive::WriteArchive(int sourceFd, const struct stat& status, int folderFd,
                            const std::string& target, const std::string& header,
                            const Change& change) const
{
    CAtomicFileWriter writer(target, status, folderFd);
    if (!writer.Write(header))
        return false;
    if (change.kind == Change::Kind::Append) {
        const int64_t first =
            m_offsets.empty() ? m_sStamp.Size() : m_offsets.front() - kSeparatorLength;
        return writer.CopyRange(sourceFd, first, m_sStamp.Size() - first) &&
               writer.Write(change.text) && writer.Commit();
    }
    if (m_offsets.empty())
        return writer.Commit();
    const int64_t first = m_offsets.front() - kSeparatorLength;
    const int64_t end = m_sStamp.Size();

    // Everything between the changed fortunes is copied in one range.
    int64_t copied = first;
    bool ok = true;
    for (const int32_t index : change.indexes) {
        const auto slot = static_cast<size_t>(index - 1);
        const int64_t changedStart = m_offsets[slot] - kSeparatorLength;
        ok = ok && writer.CopyRange(sourceFd, copied, changedStart - copied);
        if (ok && change.kind == Change::Kind::Replace)
            ok = writer.Write(kSeparator, kSeparatorLength) && writer.Write(change.text);
        copied = slot + 1 < m_offsets.size() ? m_offsets[slot + 1] - kSeparatorLength : end;
    }
    return ok && writer.CopyRange(sourceFd, copied, end - copied) && writer.Commit();
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

const char* CArchive::Unstorable(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return "it holds a NUL byte";
    if (HoldsSeparator(text))
        return "it holds a line of only \"%\" after a bare line feed, which would split it";
    if (text.ends_with("\n%"))
        return "its last line holds only \"%\", which would be read as a separator";
    return nullptr;
}

void CArchive::Refuse(std::string_view text, size_t position)
{
    const char* const reason = Unstorable(text);
    if (!reason)
        return;
    const std::string which =
        position == 0 ? std::string("The text") : "Text " + std::to_string(position);
    throw CArchiveError(CArchiveError::Kind::RefusedText,
                        which + " cannot be stored so that it reads back as given: " + reason,
                        position);
}

// Why a batch change left the file as it was.
void CArchive::FailOn(const char* what, Outcome outcome, int error)
{
    switch (outcome) {
    case Outcome::Done:
        return;
    case Outcome::Gone:
        Fail(std::string(what) + ": the archive file no longer exists");
    case Outcome::OutOfRange:
        Fail(std::string(what) + ": a fortune index is out of range",
             CArchiveError::Kind::BadIndex);
    case Outcome::ReadOnly:
        Fail(std::string(what) + ": the archive file may not be written");
    case Outcome::WriteFailed:
        break;
    }
    Fail(std::string(what) + ": the archive could not be written (" + std::strerror(error) + ")");
}

std::string CArchive::HandedOut(std::string_view stored)
{
    return ToCrLf(UpToNul(stored));
}

std::string CArchive::TrimLineBreaks(const std::string& text)
{
    return std::string(Trimmed(text));
}

std::string_view CArchive::Trimmed(std::string_view text)
{
    const size_t last = text.find_last_not_of("\r\n");
    if (last == std::string_view::npos)
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

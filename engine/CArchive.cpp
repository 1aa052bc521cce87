#include "engine/CArchive.h"

#include "engine/CArchiveError.h"
#include "engine/CFolderLock.h"
#include "engine/CUniqueFd.h"
#include "engine/Diagnostic.h"
#include "engine/FilePaths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv {

using namespace filepaths;

namespace {

constexpr char kSeparator[] = "\n%\n";
constexpr int64_t kSeparatorLength = CArchiveIndex::kSeparatorLength;

std::atomic<CArchive::FaultHook> g_faultHook{nullptr};

void Checkpoint(const char* operation)
{
    if (const CArchive::FaultHook hook = g_faultHook.load())
        hook(operation);
}

[[noreturn]] void Fail(const std::string& reason,
                       CArchiveError::Kind kind = CArchiveError::Kind::Failed)
{
    throw CArchiveError(kind, reason);
}

} // namespace

void CArchive::SetFaultHook(FaultHook hook)
{
    g_faultHook.store(hook);
}

void CArchive::SetDiagnosticHook(DiagnosticHook hook)
{
    zrv::SetDiagnosticHook(hook);
}

void CArchive::Reset()
{
    m_sFile.clear();
    m_index.Clear();
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
    const int error = errno;
    Reset();
    if (!file.IsOpen()) {
        DiagnoseErrno("The archive was not opened", opened, error);
        return;
    }
    m_sFile = std::move(opened);
    m_index.Build(std::move(file), CFileStamp(status), m_sFile);
}

void CArchive::ReloadIfChanged()
{
    if (m_sFile.empty())
        return;
    CFileStamp current;
    if (!FileStamp(current) || current != m_index.Stamp())
        Load(m_sFile);
}

int32_t CArchive::Count()
{
    Checkpoint("Count");
    ReloadIfChanged();
    const size_t count = m_index.Count();
    return count > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(count);
}

// The stored bytes of one fortune, valid until the next read. Count has just
// seen the path name the file the index was built from, in the same state, so
// the kept descriptor reads exactly that file; a file replaced after that look
// is read as it stood at it, and found by the next call.
std::string_view CArchive::ReadFortune(int32_t index)
{
    const int32_t count = Count();
    if (index < 1 || index > count || static_cast<size_t>(index) > m_index.Count())
        return {};
    return m_index.Read(static_cast<size_t>(index - 1), m_sFile);
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
        if (!trimmed.empty())
            Diagnose("The fortune was not added", {}, "no archive is open");
        m_index.ReleaseIfUnlinked();
        return;
    }
    const std::string path = m_sFile;
    const Outcome outcome = Append(kSeparator + trimmed, {kSeparatorLength});
    Dropped("The fortune was not added", path, outcome, errno);
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
        m_index.ReleaseIfUnlinked();
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
            if (::ftruncate(file.Get(), status.st_size) != 0)
                DiagnoseErrno("A partly appended fortune was not cut off", target, errno);
        } else {
            if (!existed && lock.FolderFd() >= 0 && ::fsync(lock.FolderFd()) != 0)
                DiagnoseErrno("The archive's folder was not synced", target, errno);
            outcome = Outcome::Done;
            extended = m_index.Extend(file.Get(), CFileStamp(status), bytes.size(), starts);
        }
    }
    if (!extended)
        Load(m_sFile);
    errno = error;
    return outcome;
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
    if (!CanChange("The fortune was not replaced", index, count))
        return;
    Rewrite("The fortune was not replaced", nullptr,
            Change{Change::Kind::Replace, {index}, std::move(trimmed)});
}

void CArchive::Delete(int32_t index)
{
    Checkpoint("Delete");
    const int32_t count = Count();
    if (!CanChange("The fortune was not deleted", index, count))
        return;
    Rewrite("The fortune was not deleted", nullptr, Change{Change::Kind::Remove, {index}, {}});
}

// Whether fortune `index` of `count` exists in an open archive; `what` is
// reported when not.
bool CArchive::CanChange(const char* what, int32_t index, int32_t count) const
{
    if (m_sFile.empty())
        Diagnose(what, {}, "no archive is open");
    else if (index < 1 || index > count)
        Diagnose(what, m_sFile, "fortune " + std::to_string(index) + " is out of range");
    else
        return true;
    return false;
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

void CArchive::InsertMany(const std::vector<int32_t>& indexes,
                          const std::vector<std::string>& texts, AddMode mode)
{
    if (indexes.size() != texts.size())
        Fail("The fortunes were not inserted: there must be one index for each text",
             CArchiveError::Kind::BadIndex);
    size_t size = 0;
    for (const std::string& text : texts)
        size += text.size();
    InsertMany(
        indexes, [&](size_t position) { return std::string_view(texts[position]); }, mode, size);
}

void CArchive::InsertMany(const std::vector<int32_t>& indexes, const TextSource& text, AddMode mode,
                          size_t sizeHint)
{
    Checkpoint("InsertMany");
    constexpr const char* what = "The fortunes were not inserted";
    const Change change = Insertion(indexes, text, mode, sizeHint);
    if (!indexes.empty() && indexes.back() - static_cast<int64_t>(indexes.size()) > Count())
        FailOn(what, Outcome::OutOfRange, 0);
    if (change.ends.empty()) {
        m_index.ReleaseIfUnlinked();
        return;
    }
    if (m_sFile.empty())
        Fail(std::string(what) + ": no archive is open");
    const Outcome outcome = RewriteArchive(nullptr, change);
    FailOn(what, outcome, errno);
}

void CArchive::ReplaceItem(int32_t index, const std::string& text, AddMode mode)
{
    Checkpoint("ReplaceItem");
    constexpr const char* what = "The fortune was not replaced";
    std::string kept = mode == AddMode::Exact ? text : TrimLineBreaks(text);
    if (kept.empty() && mode != AddMode::Exact)
        Fail(std::string(what) + ": the text is empty", CArchiveError::Kind::RefusedText);
    Refuse(kept, 0);
    const int32_t count = Count();
    if (m_sFile.empty())
        Fail(std::string(what) + ": no archive is open");
    if (index < 1 || index > count)
        FailOn(what, Outcome::OutOfRange, 0);
    const Outcome outcome =
        RewriteArchive(nullptr, Change{Change::Kind::Replace, {index}, std::move(kept)});
    FailOn(what, outcome, errno);
}

// The pieces to insert, each after as many of the present fortunes as its
// final index leaves before it. Refuses indexes out of order and unstorable
// texts before anything is read or written.
CArchive::Change CArchive::Insertion(const std::vector<int32_t>& indexes, const TextSource& text,
                                     AddMode mode, size_t sizeHint)
{
    const bool exact = mode == AddMode::Exact;
    Change change{Change::Kind::Insert, {}, {}, {}};
    change.text.reserve(sizeHint + indexes.size() * kSeparatorLength);
    for (size_t k = 0; k < indexes.size(); ++k) {
        if (indexes[k] < 1 || (k > 0 && indexes[k] <= indexes[k - 1]))
            Fail("The fortunes were not inserted: index " + std::to_string(k + 1) + " (" +
                     std::to_string(indexes[k]) + ") is not above the one before it or is below 1",
                 CArchiveError::Kind::BadIndex);
        const std::string_view given = text(k);
        const std::string_view kept = exact ? given : Trimmed(given);
        if (kept.empty() && !exact)
            continue;
        Refuse(kept, k + 1);
        change.indexes.push_back(indexes[k] - 1 - static_cast<int32_t>(k));
        change.text.append(kSeparator, kSeparatorLength);
        change.text.append(kept);
        change.ends.push_back(change.text.size());
    }
    return change;
}

CArchiveSnapshot CArchive::Snapshot()
{
    Checkpoint("Snapshot");
    ReloadIfChanged();
    // With no archive open the index is empty.
    return m_index.Snapshot();
}

std::string CArchive::Header()
{
    Checkpoint("Header");
    m_index.ReleaseIfUnlinked();
    return HandedOut(m_index.Header());
}

void CArchive::SetHeader(const std::string& text)
{
    Checkpoint("SetHeader");
    Refuse(text, 0);
    if (m_sFile.empty()) {
        Diagnose("The header was not replaced", {}, "no archive is open");
        return;
    }
    Rewrite("The header was not replaced", &text, Change{});
}

// A single change: its failure is reported to the diagnostic hook only.
void CArchive::Rewrite(const char* what, const std::string* header, const Change& change)
{
    const std::string path = m_sFile; // a file found gone resets the object
    const Outcome outcome = RewriteArchive(header, change);
    Dropped(what, path, outcome, errno);
}

// Writes the archive afresh with `header` (the stored one when null) and the
// change, then reloads it unless the index could follow the write. A file
// found gone resets the object.
CArchive::Outcome CArchive::RewriteArchive(const std::string* header, const Change& change)
{
    CArchiveRewrite rewrite(m_index, m_sFile);
    const Outcome outcome = rewrite.Apply(header, change);
    if (outcome == Outcome::Gone)
        Reset();
    else if (rewrite.Reload()) {
        Load(m_sFile);
        errno = rewrite.Error();
    }
    return outcome;
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
    if (!file.IsOpen()) {
        DiagnoseErrno("The archive was not created", path, errno);
        return;
    }
    if (::fsync(file.Get()) != 0)
        DiagnoseErrno("The new archive was not synced", path, errno);
    if (lock.FolderFd() >= 0 && ::fsync(lock.FolderFd()) != 0)
        DiagnoseErrno("The archive's folder was not synced", path, errno);
}

std::string CArchive::Name()
{
    Checkpoint("Name");
    m_index.ReleaseIfUnlinked();
    return m_sFile.substr(NameStart(m_sFile));
}

void CArchive::Rename(const std::string& newName)
{
    Checkpoint("Rename");
    m_index.ReleaseIfUnlinked();
    constexpr const char* what = "The archive was not renamed";
    if (m_sFile.empty() || !IsBareName(newName)) {
        Diagnose(what, m_sFile, m_sFile.empty() ? "no archive is open" : "not a bare file name");
        return;
    }
    const std::string target = m_sFile.substr(0, NameStart(m_sFile)) + newName;
    const CFolderLock lock(FolderOf(ResolvedPath(m_sFile)));
    if (RenameNoReplace(m_sFile, target))
        m_sFile = target;
    else
        DiagnoseErrno(what, m_sFile, errno);
}

// A batch change throws why it left the file as it was.
void CArchive::FailOn(const char* what, Outcome outcome, int error)
{
    if (outcome == Outcome::Done)
        return;
    Fail(std::string(what) + ": " + CArchiveRewrite::Reason(outcome, error),
         outcome == Outcome::OutOfRange ? CArchiveError::Kind::BadIndex
                                        : CArchiveError::Kind::Failed);
}

// A single change reports why it left the file as it was, and goes on quietly.
void CArchive::Dropped(const char* what, const std::string& path, Outcome outcome, int error)
{
    if (outcome != Outcome::Done)
        Diagnose(what, path, CArchiveRewrite::Reason(outcome, error));
}

} // namespace zrv

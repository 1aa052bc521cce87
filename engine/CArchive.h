#pragma once

#include "engine/CArchiveIndex.h"
#include "engine/CArchiveRewrite.h"
#include "engine/CArchiveSnapshot.h"
#include "engine/CArchiveText.h"
#include "engine/CFileStamp.h"
#include "engine/Diagnostic.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zrv {

// One fortune archive file: a free-text header followed by fortunes, each
// introduced by the separator LF % LF. Only the path, the header and the start
// offsets of the fortunes are kept in memory; texts are read from the file on
// every request, and every change is on disk before the call returns.
//
// The single operations report no failure of their own: a bad index, a missing
// file or a failed write ends in a quiet state (empty result, no archive open,
// archive unchanged), and only the diagnostic hook hears why. A text that would not read back
// exactly as given (see Unstorable) is refused with CArchiveError before anything is written. The
// batch operations (Snapshot, AddMany, DeleteMany, InsertMany) are all or nothing and
// throw CArchiveError when they leave the file as it was. Exhaustion of memory
// and the like escape as exceptions.
//
// Writers of one folder's archives, in this or any process, are serialised by
// a lock on the folder; a rewrite first reloads under that lock when the file
// is no longer the one the index was built from.
//
// Between calls the object keeps a read-only descriptor of the file its index
// was built from. Reads use it only after a stat of the path has shown that
// same file in that same state (identity, size, modification and change times
// to the nanosecond); any difference reloads from the path. A call that finds
// the file gone, or no longer linked anywhere, releases the descriptor, so a
// deleted archive's space is not kept in use past the next call.
class CArchive : public CArchiveText {
public:
    // Called with the operation's name on entry to every public operation. A
    // hook that throws makes that operation fail as a runtime failure would;
    // test seam for the layers above. Null (the default) does nothing.
    using FaultHook = void (*)(const char* operation);
    static void SetFaultHook(FaultHook hook);
    // Called with one line (what, the path, why) for each failure that an
    // operation passes over quietly; see engine/Diagnostic.h. Null (the
    // default) does nothing.
    static void SetDiagnosticHook(DiagnosticHook hook);

    CArchive() = default;
    virtual ~CArchive() = default;
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    void Load(const std::string& path);
    void Create(const std::string& path);
    // Number of fortunes; reloads first when the file changed on disk.
    virtual int32_t Count();
    // Appends a fortune (line breaks trimmed at both ends; empty adds nothing).
    // When the file is still the one the index describes, the index is
    // extended rather than rebuilt, so the cost does not grow with the archive.
    void Add(const std::string& text);
    // Fortune text (1-based) with CR LF line ends; empty when out of range.
    std::string Item(int32_t index);
    // Replaces a fortune; a text of line breaks only deletes it.
    void SetItem(int32_t index, const std::string& text);
    void Delete(int32_t index);
    // Header of the last load, up to a NUL byte, with CR LF line ends.
    std::string Header();
    // Replaces the header exactly as given.
    void SetHeader(const std::string& text);
    // Bare file name of the open archive; empty when none is open.
    std::string Name();
    // Renames the archive within its folder; never replaces an existing file.
    void Rename(const std::string& newName);

    // The header and every fortune, read with one check of the file.
    CArchiveSnapshot Snapshot();
    // How AddMany stores each text: trimmed as Add trims it (empty ones add
    // nothing), or exactly as given, line breaks at either end and empty texts
    // included.
    enum class AddMode { Trimmed, Exact };
    // Appends the texts, in order, in one rewrite synced before it returns. An
    // unstorable one refuses the whole batch.
    void AddMany(const std::vector<std::string>& texts, AddMode mode = AddMode::Trimmed);
    // The same for `count` texts handed out one at a time by `text` (each
    // valid until the next call), so that a caller converting them needs no
    // copy of them all; `sizeHint` is about their total size in bytes.
    using TextSource = std::function<std::string_view(size_t position)>;
    void AddMany(size_t count, const TextSource& text, AddMode mode, size_t sizeHint);
    // Deletes the fortunes at `indexes` (numbered as before the call, in any
    // order, duplicates counted once) in one rewrite. An index out of range
    // refuses the whole batch.
    void DeleteMany(std::vector<int32_t> indexes);
    // Puts text k at `indexes[k]`, numbered as after the call (from 1,
    // strictly ascending, the last at most Count() + indexes.size()), in one
    // rewrite; fortunes after the last index keep their order at the end.
    // Trimmed texts that are empty add nothing; the others keep the places
    // they would have with it. A bad index or an unstorable text refuses the
    // whole batch.
    void InsertMany(const std::vector<int32_t>& indexes, const std::vector<std::string>& texts,
                    AddMode mode = AddMode::Trimmed);
    void InsertMany(const std::vector<int32_t>& indexes, const TextSource& text, AddMode mode,
                    size_t sizeHint);
    // Replaces fortune `index` with `text` as InsertMany takes it, in one
    // rewrite; unlike SetItem it fails aloud. A trimmed text that is empty is
    // refused.
    void ReplaceItem(int32_t index, const std::string& text, AddMode mode);

private:
    using Change = CArchiveRewrite::Change;
    using Outcome = CArchiveRewrite::Outcome;

    void Reset();
    bool FileStamp(CFileStamp& stamp) const;
    void ReloadIfChanged();
    std::string_view ReadFortune(int32_t index);
    bool CanChange(const char* what, int32_t index, int32_t count) const;
    static Change Insertion(const std::vector<int32_t>& indexes, const TextSource& text,
                            AddMode mode, size_t sizeHint);
    void Rewrite(const char* what, const std::string* header, const Change& change);
    Outcome RewriteArchive(const std::string* header, const Change& change);
    Outcome Append(const std::string& bytes, const std::vector<int64_t>& starts);
    static void FailOn(const char* what, Outcome outcome, int error);
    static void Dropped(const char* what, const std::string& path, Outcome outcome, int error);

    std::string m_sFile;   // path as the caller gave it; empty: no archive open
    CArchiveIndex m_index; // the file the index was built from; empty with no archive open
};

} // namespace zrv

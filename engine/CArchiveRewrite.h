#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct stat;

namespace zrv {

class CArchiveIndex;
class CAtomicFileWriter;

// One whole-file rewrite of an archive: the header and a change written to a
// new file that replaces the old one, under the folder lock on the file as it
// then stands. The index is rebuilt first when that is no longer the file it
// was built from, and brought up to the written file when it can be without a
// scan; otherwise the caller reloads it from the path (see Reload).
class CArchiveRewrite final {
public:
    // The change a rewrite makes besides the header: one fortune replaced,
    // fortunes left out (`indexes` ascending, without duplicates), separators
    // and texts (`text`) added at the end, or inserted: piece k of `text`
    // (separator and text, ending at `ends[k]`) goes after the first
    // `indexes[k]` fortunes (ascending).
    struct Change {
        enum class Kind { None, Replace, Remove, Append, Insert };
        Kind kind = Kind::None;
        std::vector<int32_t> indexes;
        std::string text;
        std::vector<size_t> ends{};
    };
    enum class Outcome { Done, Gone, OutOfRange, ReadOnly, WriteFailed };
    // Why a change with `outcome` left the file as it was; `error` is the
    // errno of a failed write. Empty for Done.
    static std::string Reason(Outcome outcome, int error);

    // `path` names the archive as the caller gave it; `index` describes it.
    CArchiveRewrite(CArchiveIndex& index, const std::string& path);
    CArchiveRewrite(const CArchiveRewrite&) = delete;
    CArchiveRewrite& operator=(const CArchiveRewrite&) = delete;

    // Writes the archive afresh with `header` (the stored one when null) and
    // the change. Gone: the file no longer exists, and the index is as it was.
    Outcome Apply(const std::string* header, const Change& change);
    // Whether the index must now be reloaded from the path.
    bool Reload() const { return m_bReload; }
    // The errno of a failed write; 0 otherwise.
    int Error() const { return m_error; }

private:
    bool KeepIndex(const std::string& target, const Change& change);
    bool WriteArchive(int sourceFd, const struct stat& status, int folderFd,
                      const std::string& target, const std::string& header,
                      const Change& change) const;
    bool WriteInserted(CAtomicFileWriter& writer, int sourceFd, const Change& change) const;

    CArchiveIndex& m_index;
    const std::string& m_sPath;
    bool m_bReload = false;
    int m_error = 0;
};

} // namespace zrv

#pragma once

#include "engine/CArchiveSnapshot.h"
#include "engine/CFileStamp.h"
#include "engine/CRangeReader.h"
#include "engine/CUniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrv {

// The index of one state of an archive file: the header bytes, the start
// offset of each fortune's text (just after its separator), the state of the
// file they were read from, and that file, kept open for reading texts.
class CArchiveIndex final {
public:
    static constexpr int64_t kSeparatorLength = 3;

    CArchiveIndex() = default;
    CArchiveIndex(const CArchiveIndex&) = delete;
    CArchiveIndex& operator=(const CArchiveIndex&) = delete;

    void Clear();
    // Indexes `file` as it stood at `stamp` and keeps it for later reads:
    // bytes appended later belong to a newer state, which the next stamp
    // comparison finds. `path` names the file in diagnostics.
    void Build(CUniqueFd file, const CFileStamp& stamp, const std::string& path);
    // Closes the kept file once it is linked nowhere, so that its space is
    // freed, and forgets the stamp so that the next check reloads.
    void ReleaseIfUnlinked();

    size_t Count() const { return m_offsets.size(); }
    const std::string& Header() const { return m_sHeader; }
    const CFileStamp& Stamp() const { return m_sStamp; }
    // The kept file's descriptor; -1 when none is kept.
    int Fd() const { return m_reader.Fd(); }
    // Where the separator before fortune `slot` (from 0) starts; the file's
    // size for the slot after the last.
    int64_t SeparatorAt(size_t slot) const;

    // The stored bytes of fortune `slot`, valid until the next read.
    std::string_view Read(size_t slot, const std::string& path);
    // The header and every fortune in one read; throws CArchiveError when
    // the kept file cannot be read.
    CArchiveSnapshot Snapshot();

    // Takes fortunes appended in place (`starts`: where each text begins in
    // the `appended` bytes) into the index, when the file was, before the
    // append, the indexed state and grew by exactly those bytes.
    bool Extend(int fd, const CFileStamp& before, size_t appended,
                const std::vector<int64_t>& starts);
    // After a rewrite of `target` that appended `appended` to the indexed
    // state: extends the index by a scan of those bytes in memory and keeps
    // the new file, when the file in place is the written one's size.
    bool TakeAppended(const std::string& target, const std::string& appended);
    // After a rewrite of `target` that inserted pieces (separator and text,
    // piece k ending at `ends[k]` of the inserted bytes) each after the first
    // `before[k]` fortunes of the indexed state: shifts the offsets and keeps
    // the new file, when the file in place is the written one's size.
    bool TakeInserted(const std::string& target, const std::vector<int32_t>& before,
                      const std::vector<size_t>& ends);

private:
    bool EndsInPercentLine();

    std::vector<int64_t> m_offsets; // start of each fortune's text, just after its separator
    std::string m_sHeader;          // header bytes as stored
    CFileStamp m_sStamp;            // state of the file the index was built from
    CRangeReader m_reader;          // that file, open for reading; closed when cleared
};

} // namespace zrv

#pragma once

#include "engine/CUniqueFd.h"

#include <cstdint>
#include <string>
#include <vector>

struct stat;

namespace zrv {

// Writes a file afresh beside its target (target + ".zrv.tmp") and puts it in
// place in one step. The temporary file is created new (a leftover from an
// earlier crash is removed first, never reused), gets the target's permission
// bits and, where allowed, its owner; every write, the fsync and the close are
// checked. Commit renames it over the target and syncs the folder. Until then
// the target is untouched, and a writer that fails or is dropped uncommitted
// removes its temporary file.
class CAtomicFileWriter final {
public:
    CAtomicFileWriter(std::string target, const struct stat& targetStatus, int folderFd);
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    static std::string TemporaryPath(const std::string& target);

    bool Write(const char* data, size_t length);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Copies `length` bytes of `sourceFd` from `offset`; fails if the source ends early.
    // Ranges shorter than a block come from a block read ahead, so that many
    // short ranges copied in file order cost one read per block.
    bool CopyRange(int sourceFd, int64_t offset, int64_t length);
    // Flushes, syncs and closes the temporary file and renames it over the target.
    bool Commit();

private:
    bool Flush();
    void Fail();
    bool ReadAhead(int sourceFd, int64_t offset);
    bool CopyDirectly(int sourceFd, int64_t offset, int64_t length);

    std::string m_target;
    std::string m_temporary;
    CUniqueFd m_file;
    int m_folderFd;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    std::vector<char> m_ahead; // bytes of the source read ahead of the copy
    int m_aheadFd = -1;        // the source they came from; -1: none held
    int64_t m_aheadStart = 0;  // their offset in it
    size_t m_aheadLength = 0;
    bool m_failed = false;
    bool m_committed = false;
};

} // namespace zrv

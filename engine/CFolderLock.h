#pragma once

#include "engine/CUniqueFd.h"

#include <string>

namespace zrv {

// Exclusive advisory lock on a folder, held while the object lives. Writers of
// the archives in that folder take it around every append and rewrite. The
// folder is never renamed by a rewrite, unlike the archive itself, and no lock
// file appears among the archives. Each lock opens its own descriptor, so two
// objects of one process exclude each other as two processes do.
//
// When the folder cannot be opened the lock is simply not held; the writer
// then fails on its own for lack of access.
class CFolderLock final {
public:
    explicit CFolderLock(const std::string& folder);

    bool IsHeld() const { return m_held; }
    // Descriptor of the locked folder, for fsync after a rename; -1 when not open.
    int FolderFd() const { return m_folder.Get(); }

private:
    CUniqueFd m_folder;
    bool m_held = false;
};

} // namespace zrv

#pragma once

#include "engine/CUniqueFd.h"

#include <string>
#include <sys/types.h>

struct stat;

// Paths and files as the archive object needs them: the file a path finally
// names, its folder, its bare name, and opening and renaming that neither
// waits on a FIFO nor replaces an existing file.
namespace zrv::filepaths {

// The file a path finally names, so that rewriting through a symbolic link
// replaces the file and not the link. A path that does not resolve stays as given.
std::string ResolvedPath(const std::string& path);
std::string FolderOf(const std::string& path);
// Position just after the last path separator; "\" counts too, so a path
// written with backslashes splits as it would where it was written.
size_t NameStart(const std::string& path);
bool IsBareName(const std::string& name);
// Whether this user may change the file: the file's own permission, not the
// folder's, which would let a rename replace a read-only file.
bool MayWrite(const std::string& path);
// Opens `path` without waiting on a FIFO or device and keeps it only when it
// is a regular file (errno EISDIR or ENXIO otherwise); `status` receives its state.
CUniqueFd OpenRegular(const std::string& path, int flags, struct stat& status, mode_t mode = 0);
// Renames `from` to `to`, refusing an existing `to`.
bool RenameNoReplace(const std::string& from, const std::string& to);

} // namespace zrv::filepaths

#pragma once

#include <string>

namespace zrv::reg {

// Where the hives live, read from the XDG variables at every call:
// $XDG_CONFIG_HOME/zorva/registry/user.db (default ~/.config) and
// <first of $XDG_CONFIG_DIRS>/zorva/registry/machine.db (default /etc/xdg).
std::string UserHivePath();
std::string MachineHivePath();

// Whether this process may write the file or folder at path (its write
// permission bits are honoured even for the superuser).
bool ModeAllowsWrite(const std::string& path);
// The nearest folder of path that exists.
std::string ExistingFolderOf(const std::string& path);
// The SQLite URI that opens path read-only as an unchanging file.
std::string ImmutableUri(const std::string& path);
// What changes when the file is written or replaced; empty when it is missing.
std::string HiveFileStamp(const std::string& path);
// Device and inode of the file; empty when it is missing.
std::string HiveFileIdentity(const std::string& path);

} // namespace zrv::reg

#pragma once

#include <string>

namespace zrv::reg {

// Where the hives live, read from the XDG variables at every call:
// $XDG_CONFIG_HOME/zorva/registry/user.db (default ~/.config) and
// <first of $XDG_CONFIG_DIRS>/zorva/registry/machine.db (default /etc/xdg).
std::string UserHivePath();
std::string MachineHivePath();

} // namespace zrv::reg

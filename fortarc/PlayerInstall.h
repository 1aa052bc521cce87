#pragma once

// Where the fortune player is installed, found as the editor finds it: the
// first uninstall entry named "ZorvaFortune*" but not "ZorvaFortune Editor*"
// (letters in any case) under HKEY_LOCAL_MACHINE, its value
// "Inno Setup: App Path", and the folder "data" inside it. No Qt.

#include <string>
#include <string_view>

namespace zrv::PlayerInstall {

bool IsPlayerEntry(std::string_view entryName);

// The player's folder, making sure its data folder exists (one level); the
// fallback folder when no entry names one or any step fails, in which case no
// data folder is made. A failing step is described in `failure` (left as it
// was otherwise), for callers that log what they pass over.
std::string FindAppPath(const std::string& fallbackFolder, std::string* failure = nullptr);

std::string DataFolder(const std::string& appPath);

} // namespace zrv::PlayerInstall

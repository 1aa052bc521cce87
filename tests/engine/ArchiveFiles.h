#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zrv::test {

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Runs `body` in a child process and returns its exit status (its return
// value), or -1 when it did not exit normally.
int RunInChild(const std::function<int()>& body);

} // namespace zrv::test

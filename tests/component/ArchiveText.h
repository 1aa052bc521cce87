#pragma once

// Archive files of the tests as plain bytes.

#include <string>

namespace zrv::test {

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

} // namespace zrv::test

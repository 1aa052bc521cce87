#pragma once

// The argument vector posix_spawn wants: the program, then its arguments,
// then a null pointer, owned for as long as the object lives.

#include <string>
#include <vector>

namespace zrv::sheet {

class CSpawnArguments final {
public:
    CSpawnArguments(const std::string& program, const std::vector<std::string>& arguments);
    CSpawnArguments(const CSpawnArguments&) = delete;
    CSpawnArguments& operator=(const CSpawnArguments&) = delete;

    char* const* Get() const { return m_pointers.data(); }

private:
    std::vector<std::string> m_texts;
    std::vector<char*> m_pointers;
};

} // namespace zrv::sheet

#pragma once

// A registry key handle of the runtime's own use, closed when it goes.

#include "runtime/registry/WinReg.h"

#include <optional>
#include <string>
#include <vector>

namespace zrv::com {

class CRegKey final {
public:
    CRegKey() = default;
    ~CRegKey();
    CRegKey(CRegKey&& other) noexcept;
    CRegKey& operator=(CRegKey&& other) noexcept;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LONG open(HKEY parent, const std::string& subKey, REGSAM access = KEY_READ);
    LONG create(HKEY parent, const std::string& subKey);
    void close();

    HKEY get() const { return m_key; }
    explicit operator bool() const { return m_key != 0; }

    // A string value (null name: the default value); nullopt when missing or
    // not a string.
    std::optional<std::string> queryString(const char* valueName = nullptr) const;
    LONG setString(const char* valueName, const std::string& value) const;
    std::vector<std::string> subKeyNames() const;

private:
    HKEY m_key = 0;
};

// The string value of root\path, or nullopt.
std::optional<std::string> ReadRegString(HKEY root, const std::string& path,
                                         const char* valueName = nullptr);
// Creates root\path and sets its value; ERROR_SUCCESS or the failing code.
LONG WriteRegString(HKEY root, const std::string& path, const char* valueName,
                    const std::string& value);

} // namespace zrv::com

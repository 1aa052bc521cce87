#pragma once

// An open registry key, closed when it goes. Header-only, so the programs and
// libraries on top of the runtime share it without it being exported.

#include "runtime/registry/WinReg.h"

#include <string>
#include <utility>

namespace zrv::reg {

class CRegKey final {
public:
    CRegKey() = default;
    ~CRegKey() { close(); }
    CRegKey(CRegKey&& other) noexcept : m_key(std::exchange(other.m_key, 0)) {}
    CRegKey& operator=(CRegKey&& other) noexcept
    {
        if (this != &other) {
            close();
            m_key = std::exchange(other.m_key, 0);
        }
        return *this;
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LONG open(HKEY parent, const std::string& subKey, REGSAM access = KEY_READ)
    {
        return RegOpenKeyExA(parent, subKey.c_str(), 0, access, put());
    }
    LONG create(HKEY parent, const std::string& subKey, REGSAM access = KEY_ALL_ACCESS)
    {
        return RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, put(), nullptr);
    }
    void close()
    {
        if (m_key)
            RegCloseKey(std::exchange(m_key, 0));
    }

    HKEY get() const { return m_key; }
    // For the out-parameter of a call that opens a key: closes what is held.
    HKEY* put()
    {
        close();
        return &m_key;
    }
    explicit operator bool() const { return m_key != 0; }

private:
    HKEY m_key = 0;
};

} // namespace zrv::reg

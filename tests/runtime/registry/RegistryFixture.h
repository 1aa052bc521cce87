#pragma once

#include "runtime/registry/WinReg.h"
#include "tests/support/TempHome.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zrv::test {

// Fresh, empty hive folders for each test, so tests never share a hive.
class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_userConfig = MakeTempDir("config");
        m_machineConfig = MakeTempDir("xdg");
        setenv("XDG_CONFIG_HOME", m_userConfig.c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (m_machineConfig + ":/nonexistent").c_str(), 1);
    }

    std::string UserHive() const { return m_userConfig + "/zorva/registry/user.db"; }
    std::string MachineHive() const { return m_machineConfig + "/zorva/registry/machine.db"; }
    std::string MachineFolder() const { return m_machineConfig + "/zorva/registry"; }

    static HKEY Create(HKEY root, const char* path)
    {
        HKEY key = 0;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        return key;
    }

    static LONG SetString(HKEY key, const char* name, const std::string& value)
    {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }

    // The string value name of key, or the error code as text.
    static std::string ReadString(HKEY key, const char* name)
    {
        char buffer[512]{};
        DWORD size = sizeof buffer;
        DWORD type = 0;
        const LONG result =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        if (result != ERROR_SUCCESS)
            return "error " + std::to_string(result);
        return std::string(buffer, size > 0 ? size - 1 : 0);
    }

    static std::string ReadString(HKEY root, const char* path, const char* name)
    {
        HKEY key = 0;
        const LONG result = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
        if (result != ERROR_SUCCESS)
            return "error " + std::to_string(result);
        std::string value = ReadString(key, name);
        RegCloseKey(key);
        return value;
    }

    // The names enumerate(index, buffer, &length) gives from index 0 until
    // ERROR_NO_MORE_ITEMS.
    template <typename Enumerate> static std::vector<std::string> EnumNames(Enumerate enumerate)
    {
        std::vector<std::string> names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD length = sizeof name;
            const LONG result = enumerate(i, name, &length);
            if (result != ERROR_SUCCESS) {
                EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
                return names;
            }
            names.emplace_back(name, length);
        }
    }

    static std::vector<std::string> SubKeyNames(HKEY key)
    {
        return EnumNames([key](DWORD i, char* name, DWORD* length) {
            return RegEnumKeyExA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    static std::vector<std::string> ValueNames(HKEY key)
    {
        return EnumNames([key](DWORD i, char* name, DWORD* length) {
            return RegEnumValueA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

private:
    std::string m_userConfig;
    std::string m_machineConfig;
};

} // namespace zrv::test

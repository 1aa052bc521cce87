#pragma once

#include "runtime/registry/CRegKey.h"

#include <cstdint>
#include <QDateTime>
#include <QString>

// The editor's way into the registry: wraps at most one open key. Every
// failure is thrown as EditorError(CRegistry::ErrorNumber, "CRegistry:<operation>",
// description). Keys are opened with full access.
class CRegistry final {
public:
    static constexpr int32_t ErrorNumber = static_cast<int32_t>(0x80040002);

    CRegistry() = default;
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // A leading backslash is dropped and forward slashes become backslashes.
    void OpenKey(HKEY Section, const QString& strKey, bool blnCreateNew = false);
    // Deletes the open key (not its subkeys); no key is open afterwards.
    void DeleteKey();
    void CloseKey();
    // An empty name reads the key's default value.
    QString ReadValue(const QString& strValueName = {});
    // Indexes count from 1.
    void ReadValueByNum(int32_t vlIndex, QString& rsName, QString& rsValue);
    void ReadKeyByNum(int32_t vlIndex, QString& rsName);
    void WriteValue(const QString& strValueName, const QString& strNewValue);
    void DeleteValue(const QString& strValueName);

    QString CurrentKey() const;
    QString KeyClass();
    // Local time to the whole second; never throws.
    QDateTime LastWriteTime();
    int32_t NumOfSubKeys() { return Refreshed(mlngSubKeys); }
    int32_t MaxSubkeyNameLength() { return Refreshed(mlngMaxSubKeyLen); }
    int32_t MaxClassNameLength() { return Refreshed(mlngMaxClassLen); }
    int32_t NumOfValues() { return Refreshed(mlngValues); }
    int32_t MaxValueNameLength() { return Refreshed(mlngMaxValueNameLen); }
    int32_t MaxValueLength() { return Refreshed(mlngMaxValueLen); }
    int32_t SecurityDescriptor() { return Refreshed(mlngSecurityDescriptor); }

private:
    void RefreshKeyInfo();
    // The field as the key's information stands now.
    int32_t Refreshed(const int32_t& field);
    void RequireOpenKey(const char* operation) const;

    zrv::reg::CRegKey mKey;
    HKEY mlngRoot = 0;
    QString mstrKeyPath;
    QString mstrClass;
    int32_t mlngSubKeys = 0;
    int32_t mlngMaxSubKeyLen = 0;
    int32_t mlngMaxClassLen = 0;
    int32_t mlngValues = 0;
    int32_t mlngMaxValueNameLen = 0;
    int32_t mlngMaxValueLen = 0;
    int32_t mlngSecurityDescriptor = 0;
    FILETIME mftLastWriteTime{0, 0};
};

#include "editor/support/CRegistry.h"

#include "editor/support/EditorError.h"
#include "runtime/com/AnsiText.h"

#include <array>
#include <QByteArray>
#include <QDate>
#include <QTime>
#include <utility>

namespace {

// Values, value names and key names are read into buffers of this size.
constexpr DWORD BufferSize = 255;

QByteArray ToAnsi(const QString& text)
{
    const std::string ansi = zrv::com::ToAnsi(
        {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())});
    return {ansi.data(), static_cast<qsizetype>(ansi.size())};
}

QString FromAnsi(const char* data, DWORD size)
{
    const std::u16string wide = zrv::com::FromAnsi({data, size});
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

// The stored text without its terminator; a value of no bytes is the empty text.
QString TextOfData(const std::array<BYTE, BufferSize>& data, DWORD size)
{
    return FromAnsi(reinterpret_cast<const char*>(data.data()), size > 0 ? size - 1 : 0);
}

[[noreturn]] void Raise(const char* operation, const QString& description)
{
    throw EditorError(CRegistry::ErrorNumber,
                      QStringLiteral("CRegistry:") + QLatin1String(operation), description);
}

// The platform counts entries from 0, the caller from 1.
DWORD PlatformIndex(int32_t vlIndex)
{
    return static_cast<DWORD>(static_cast<int64_t>(vlIndex) - 1);
}

} // namespace

CRegistry::~CRegistry()
{
    CloseKey();
}

void CRegistry::RequireOpenKey(const char* operation) const
{
    if (!mKey)
        Raise(operation, QStringLiteral("No key is currently open."));
}

void CRegistry::OpenKey(HKEY Section, const QString& strKey, bool blnCreateNew)
{
    CloseKey();
    QString path = strKey;
    if (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const std::string ansiPath = ToAnsi(path).toStdString();
    zrv::reg::CRegKey key;
    if (key.open(Section, ansiPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        if (!blnCreateNew)
            Raise("OpenKey", QStringLiteral("Failed to open key ") + path + QStringLiteral("."));
        if (key.create(Section, ansiPath) != ERROR_SUCCESS)
            Raise("OpenKey", QStringLiteral("Failed to create key ") + path + QStringLiteral("."));
    }
    mKey = std::move(key);
    mlngRoot = Section;
    mstrKeyPath = path;
}

void CRegistry::CloseKey()
{
    if (!mKey)
        return;
    mKey.close();
    mstrKeyPath.clear();
}

void CRegistry::DeleteKey()
{
    const QString path = mstrKeyPath;
    CloseKey();
    if (RegDeleteKeyA(mlngRoot, ToAnsi(path).constData()) != ERROR_SUCCESS)
        Raise("DeleteKey", QStringLiteral("Failed to delete key ") + path + QStringLiteral("."));
}

QString CRegistry::ReadValue(const QString& strValueName)
{
    RequireOpenKey("ReadValue");
    std::array<BYTE, BufferSize> data{};
    DWORD size = BufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(mKey.get(), ToAnsi(strValueName).constData(), nullptr, &type, data.data(),
                         &size) != ERROR_SUCCESS)
        Raise("ReadValue", QStringLiteral("Failed to read value ") + strValueName +
                               QStringLiteral(" from Registry."));
    return TextOfData(data, size);
}

void CRegistry::ReadValueByNum(int32_t vlIndex, QString& rsName, QString& rsValue)
{
    RequireOpenKey("ReadValueByNum");
    std::array<char, BufferSize> name{};
    std::array<BYTE, BufferSize> data{};
    DWORD nameLength = BufferSize;
    DWORD size = BufferSize;
    DWORD type = 0;
    if (RegEnumValueA(mKey.get(), PlatformIndex(vlIndex), name.data(), &nameLength, nullptr, &type,
                      data.data(), &size) != ERROR_SUCCESS)
        Raise("ReadValueByNum", QStringLiteral("Failed to read value ") + QString::number(vlIndex) +
                                    QStringLiteral(" from Registry."));
    rsName = FromAnsi(name.data(), nameLength);
    rsValue = TextOfData(data, size);
}

void CRegistry::ReadKeyByNum(int32_t vlIndex, QString& rsName)
{
    RequireOpenKey("ReadKeyByNum");
    std::array<char, BufferSize> name{};
    DWORD nameLength = BufferSize;
    // No class text is wanted: its buffer has no room, which may give ERROR_MORE_DATA.
    char noClass = 0;
    DWORD classLength = 0;
    FILETIME written{};
    const LONG result = RegEnumKeyExA(mKey.get(), PlatformIndex(vlIndex), name.data(), &nameLength,
                                      nullptr, &noClass, &classLength, &written);
    // A name that does not fit the buffer fails like any other read.
    const bool read =
        result == ERROR_SUCCESS || (result == ERROR_MORE_DATA && nameLength < BufferSize);
    if (!read)
        Raise("ReadKeyByNum", QStringLiteral("Failed to read key ") + QString::number(vlIndex) +
                                  QStringLiteral(" from Registry."));
    rsName = FromAnsi(name.data(), nameLength);
}

void CRegistry::WriteValue(const QString& strValueName, const QString& strNewValue)
{
    RequireOpenKey("WriteValue");
    QByteArray data = ToAnsi(strNewValue);
    data.append('\0');
    if (RegSetValueExA(mKey.get(), ToAnsi(strValueName).constData(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.constData()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        Raise("WriteValue", QStringLiteral("Failed to write new value to ") + strValueName +
                                QStringLiteral(" from Registry."));
}

void CRegistry::DeleteValue(const QString& strValueName)
{
    RequireOpenKey("DeleteValue");
    if (RegDeleteValueA(mKey.get(), ToAnsi(strValueName).constData()) != ERROR_SUCCESS)
        Raise("DeleteValue", QStringLiteral("Failed to delete value ") + strValueName +
                                 QStringLiteral(" from Registry."));
}

void CRegistry::RefreshKeyInfo()
{
    std::array<char, BufferSize> cls{};
    DWORD classLength = BufferSize;
    DWORD subKeys = 0, maxSubKey = 0, maxClass = 0, values = 0, maxValueName = 0, maxValue = 0,
          security = 0;
    FILETIME written{};
    if (RegQueryInfoKeyA(mKey.get(), cls.data(), &classLength, nullptr, &subKeys, &maxSubKey,
                         &maxClass, &values, &maxValueName, &maxValue, &security,
                         &written) != ERROR_SUCCESS)
        Raise("RefreshKeyInfo", QStringLiteral("Failed to retrieve key information."));
    mstrClass = FromAnsi(cls.data(), classLength);
    mlngSubKeys = static_cast<int32_t>(subKeys);
    mlngMaxSubKeyLen = static_cast<int32_t>(maxSubKey);
    mlngMaxClassLen = static_cast<int32_t>(maxClass);
    mlngValues = static_cast<int32_t>(values);
    mlngMaxValueNameLen = static_cast<int32_t>(maxValueName);
    mlngMaxValueLen = static_cast<int32_t>(maxValue);
    mlngSecurityDescriptor = static_cast<int32_t>(security);
    mftLastWriteTime = written;
}

QString CRegistry::CurrentKey() const
{
    return mstrKeyPath;
}

QString CRegistry::KeyClass()
{
    RefreshKeyInfo();
    return mstrClass;
}

QDateTime CRegistry::LastWriteTime()
{
    try {
        RefreshKeyInfo();
    } catch (const EditorError&) {
        // The time last stored stands.
    }
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&mftLastWriteTime, &local))
        local = mftLastWriteTime;
    SYSTEMTIME fields{};
    if (!FileTimeToSystemTime(&local, &fields))
        fields = {1601, 1, 1, 1, 0, 0, 0, 0};
    return QDateTime(QDate(fields.wYear, fields.wMonth, fields.wDay),
                     QTime(fields.wHour, fields.wMinute, fields.wSecond), Qt::LocalTime);
}

int32_t CRegistry::Refreshed(const int32_t& field)
{
    RefreshKeyInfo();
    return field;
}

#include "tests/editor/archives/SpreadsheetServer.h"

#include "editor/support/CRegistry.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace zrv::test::SpreadsheetServer {

namespace {

const QString kClasses = QStringLiteral("Software\\Classes\\");
const QString kUnknownClass = QStringLiteral("{6F2D44C1-93A7-4B0E-8E51-0C3A9D7E1B20}");
const QString kBrokenClass = QStringLiteral("{6F2D44C1-93A7-4B0E-8E51-0C3A9D7E1B21}");

void DeleteTree(const QString& key)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.toUtf8().constData());
}

void WriteDefault(const QString& key, const QString& value)
{
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, key, true);
    registry.WriteValue({}, value);
}

void PointApplicationAt(const QString& clsid)
{
    WriteDefault(kClasses + QStringLiteral("Excel.Application\\CLSID"), clsid);
}

} // namespace

void SetFileClass(const std::vector<std::pair<QString, QString>>& values)
{
    DeleteTree(kClasses + QStringLiteral(".xls"));
    if (values.empty())
        return;
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, kClasses + QStringLiteral(".xls"), true);
    for (const auto& [name, data] : values)
        registry.WriteValue(name, data);
}

void RegisterBroken()
{
    WriteDefault(kClasses + QStringLiteral("CLSID\\") + kBrokenClass +
                     QStringLiteral("\\InprocServer32"),
                 QStringLiteral("/nonexistent/libzrvsheet.so"));
    PointApplicationAt(kBrokenClass);
}

void RegisterUnknownClass()
{
    DeleteTree(kClasses + QStringLiteral("CLSID\\") + kUnknownClass);
    PointApplicationAt(kUnknownClass);
}

void RegisterReal()
{
#ifdef ZRV_SHEET_LIBRARY
    void* library = dlopen(ZRV_SHEET_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Register = int32_t (*)();
    const auto registerServer = reinterpret_cast<Register>(dlsym(library, "DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), 0);
#else
    GTEST_SKIP() << "libzrvsheet.so is not built";
#endif
}

void PrepareDesktop()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("DISPLAY", ":99");
    const QString xlsx =
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    const QString applications =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/applications");
    QDir().mkpath(applications);
    QFile entry(applications + QStringLiteral("/zrvsheetstandin.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly | QIODevice::Truncate));
    entry.write(
        ("[Desktop Entry]\nType=Application\nName=Stand-in\nExec=true %f\nMimeType=" + xlsx + ";\n")
            .toUtf8());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(config);
    QFile defaults(config + QStringLiteral("/mimeapps.list"));
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly | QIODevice::Truncate));
    defaults.write(("[Default Applications]\n" + xlsx + "=zrvsheetstandin.desktop\n").toUtf8());
}

QString DocumentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace zrv::test::SpreadsheetServer

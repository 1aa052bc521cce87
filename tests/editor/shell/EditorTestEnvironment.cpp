#include "tests/editor/shell/EditorTestEnvironment.h"

#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/CSettings.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modInstall.h"
#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "tests/support/TempHome.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace zrv::test {

void WriteArchive(const QString& path, const QString& header, const QStringList& fortunes)
{
    QByteArray bytes = header.toUtf8();
    for (const QString& fortune : fortunes)
        bytes += "\n%\n" + fortune.toUtf8();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void WriteSetting(const QString& name, const QString& value)
{
    CRegistry registry;
    registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, true);
    registry.WriteValue(name, value);
}

std::optional<QString> StoredSetting(const QString& name)
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, false);
        return registry.ReadValue(name);
    } catch (const EditorError&) {
        return std::nullopt;
    }
}

EditorTestEnvironment::EditorTestEnvironment(bool withPlayer)
    : mEditorFolder(QString::fromStdString(MakeTempDir("editor"))),
      mPlayerFolder(QString::fromStdString(MakeTempDir("player")))
{
    RegisterComponent();
    DeleteSettings();
    if (withPlayer) {
        QFile player(mEditorFolder + u'/' + Install::PlayerFile);
        EXPECT_TRUE(player.open(QIODevice::WriteOnly));
    }
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE,
                     Install::UninstallKey + QStringLiteral("\\ZorvaFortune_is1"), true);
    registry.WriteValue(Install::AppPathValue, mPlayerFolder);
}

EditorTestEnvironment::~EditorTestEnvironment()
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_LOCAL_MACHINE,
                         Install::UninstallKey + QStringLiteral("\\ZorvaFortune_is1"), false);
        registry.DeleteKey();
    } catch (const EditorError&) {
    }
    DeleteSettings();
}

std::unique_ptr<frmMain> EditorTestEnvironment::StartEditor() const
{
    auto main = std::make_unique<frmMain>(mEditorFolder, &CMainWindowCommands::Install);
    main->Form_Load();
    return main;
}

// Registers the built library into the test's hives through its own entry point.
void EditorTestEnvironment::RegisterComponent()
{
    static const bool registered = [] {
        void* library = dlopen(ZRV_FORT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        using Register = int32_t (*)();
        const auto registerServer = reinterpret_cast<Register>(dlsym(library, "DllRegisterServer"));
        return registerServer && registerServer() == 0;
    }();
    ASSERT_TRUE(registered) << "cannot register " << ZRV_FORT_LIBRARY;
}

void EditorTestEnvironment::DeleteSettings()
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, false);
        registry.DeleteKey();
    } catch (const EditorError&) {
    }
}

} // namespace zrv::test

#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "tests/runtime/registry/RegistryFixture.h"

#include <functional>
#include <ostream>
#include <sys/stat.h>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class CRegistryTest : public zrv::test::RegistryFixture {
protected:
    // Runs action and checks that it raises the registry class's error.
    static void ExpectRaised(const std::function<void()>& action, const QString& source,
                             const QString& description)
    {
        try {
            action();
            ADD_FAILURE() << "no error raised; expected " << description.toStdString();
        } catch (const EditorError& error) {
            EXPECT_EQ(error.Number(), static_cast<int32_t>(0x80040002));
            EXPECT_EQ(error.Source(), source);
            EXPECT_EQ(error.Description(), description);
        }
    }

    CRegistry registry;
};

TEST_F(CRegistryTest, openKeyNormalisesLeadingBackslashAndForwardSlashes)
{
    registry.OpenKey(HKEY_CURRENT_USER, "\\Software/Zorva/Editor", true);
    EXPECT_EQ(registry.CurrentKey(), "Software\\Zorva\\Editor");
    registry.WriteValue("Top", "120");

    CRegistry other;
    other.OpenKey(HKEY_CURRENT_USER, "Software\\Zorva\\Editor");
    EXPECT_EQ(other.ReadValue("Top"), "120");
}

TEST_F(CRegistryTest, missingKeyFailsToOpen_unlessCreated)
{
    registry.OpenKey(HKEY_CURRENT_USER, "Software", true);
    ExpectRaised([this] { registry.OpenKey(HKEY_CURRENT_USER, "\\Software/Missing"); },
                 "CRegistry:OpenKey", "Failed to open key Software\\Missing.");
    // The key open before a failed OpenKey is closed too.
    EXPECT_EQ(registry.CurrentKey(), "");
    ExpectRaised([this] { registry.ReadValue("x"); }, "CRegistry:ReadValue",
                 "No key is currently open.");

    registry.OpenKey(HKEY_CURRENT_USER, "\\Software/Missing", true);
    EXPECT_EQ(registry.CurrentKey(), "Software\\Missing");
    registry.WriteValue("v", "created");
    EXPECT_EQ(registry.ReadValue("v"), "created");
}

TEST_F(CRegistryTest, createFailureNamesTheKey)
{
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Software"));
    ASSERT_EQ(chmod(MachineHive().c_str(), 0444), 0);
    ExpectRaised([this] { registry.OpenKey(HKEY_LOCAL_MACHINE, "Software/New", true); },
                 "CRegistry:OpenKey", "Failed to create key Software\\New.");
}

TEST_F(CRegistryTest, writtenTextReadsBackUnchanged)
{
    const QString texts[] = {
        "",
        "plain",
        "quotes \" and \\ backslashes",
        "line one\r\nline two\n",
        QString::fromUtf8("Grüße ✓ 日本語"),
        QString(254, 'x'),
    };
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Texts", true);
    for (const QString& text : texts) {
        registry.WriteValue("Value", text);
        EXPECT_EQ(registry.ReadValue("Value"), text);
    }
    registry.WriteValue("", "default");
    EXPECT_EQ(registry.ReadValue(), "default");
}

TEST_F(CRegistryTest, valueOrNameBeyondTheBuffersFailsToRead)
{
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Large", true);
    registry.WriteValue("Long", QString(255, 'y'));
    ExpectRaised([this] { registry.ReadValue("Long"); }, "CRegistry:ReadValue",
                 "Failed to read value Long from Registry.");
    QString name;
    QString value;
    ExpectRaised([&] { registry.ReadValueByNum(1, name, value); }, "CRegistry:ReadValueByNum",
                 "Failed to read value 1 from Registry.");

    RegCloseKey(Create(HKEY_CURRENT_USER, ("Software\\Large\\" + std::string(255, 'k')).c_str()));
    ExpectRaised([&] { registry.ReadKeyByNum(1, name); }, "CRegistry:ReadKeyByNum",
                 "Failed to read key 1 from Registry.");
}

TEST_F(CRegistryTest, missingValueNamesItInTheFailure)
{
    registry.OpenKey(HKEY_CURRENT_USER, "Software", true);
    ExpectRaised([this] { registry.ReadValue("WindowState"); }, "CRegistry:ReadValue",
                 "Failed to read value WindowState from Registry.");
    ExpectRaised([this] { registry.DeleteValue("WindowState"); }, "CRegistry:DeleteValue",
                 "Failed to delete value WindowState from Registry.");
}

TEST_F(CRegistryTest, emptyBinaryValueReadsAsEmptyText)
{
    const HKEY key = Create(HKEY_CURRENT_USER, "Software\\Empty");
    ASSERT_EQ(RegSetValueExA(key, "Nothing", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    RegCloseKey(key);
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Empty");
    EXPECT_EQ(registry.ReadValue("Nothing"), "");
    QString name;
    QString value = "unchanged";
    registry.ReadValueByNum(1, name, value);
    EXPECT_EQ(name, "Nothing");
    EXPECT_EQ(value, "");
}

TEST_F(CRegistryTest, byNumberReadsCountFromOne)
{
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Numbered", true);
    registry.WriteValue("Second", "2");
    registry.WriteValue("First", "1");
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Numbered\\beta"));
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Numbered\\Alpha"));

    QString name;
    QString value;
    registry.ReadValueByNum(1, name, value);
    EXPECT_EQ(name, "Second");
    EXPECT_EQ(value, "2");
    registry.ReadValueByNum(2, name, value);
    EXPECT_EQ(name, "First");
    EXPECT_EQ(value, "1");
    registry.ReadKeyByNum(1, name);
    EXPECT_EQ(name, "Alpha");
    registry.ReadKeyByNum(2, name);
    EXPECT_EQ(name, "beta");

    for (const int32_t index : {0, 3, -1, INT32_MIN}) {
        ExpectRaised([&] { registry.ReadValueByNum(index, name, value); },
                     "CRegistry:ReadValueByNum",
                     QString("Failed to read value %1 from Registry.").arg(index));
        ExpectRaised([&] { registry.ReadKeyByNum(index, name); }, "CRegistry:ReadKeyByNum",
                     QString("Failed to read key %1 from Registry.").arg(index));
    }
}

TEST_F(CRegistryTest, everyReadAndWriteNeedsAnOpenKey)
{
    const auto expectAllRefused = [this] {
        QString name;
        QString value;
        const QString none = "No key is currently open.";
        ExpectRaised([&] { registry.ReadValue("v"); }, "CRegistry:ReadValue", none);
        ExpectRaised([&] { registry.ReadValueByNum(1, name, value); }, "CRegistry:ReadValueByNum",
                     none);
        ExpectRaised([&] { registry.ReadKeyByNum(1, name); }, "CRegistry:ReadKeyByNum", none);
        ExpectRaised([&] { registry.WriteValue("v", "x"); }, "CRegistry:WriteValue", none);
        ExpectRaised([&] { registry.DeleteValue("v"); }, "CRegistry:DeleteValue", none);
        ExpectRaised([&] { registry.NumOfValues(); }, "CRegistry:RefreshKeyInfo",
                     "Failed to retrieve key information.");
    };
    expectAllRefused();
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Closed", true);
    registry.WriteValue("v", "x");
    registry.CloseKey();
    registry.CloseKey();
    EXPECT_EQ(registry.CurrentKey(), "");
    expectAllRefused();
    EXPECT_NO_THROW(registry.LastWriteTime());
}

TEST_F(CRegistryTest, statisticsDescribeTheOpenKey)
{
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Stats", true);
    registry.WriteValue("Name", "12345");
    registry.WriteValue("LongerName", "1");
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Stats\\Sub"));
    EXPECT_EQ(registry.NumOfValues(), 2);
    EXPECT_EQ(registry.NumOfSubKeys(), 1);
    EXPECT_EQ(registry.MaxValueNameLength(), 10);
    EXPECT_EQ(registry.MaxValueLength(), 6);
    EXPECT_EQ(registry.MaxSubkeyNameLength(), 3);
    EXPECT_EQ(registry.MaxClassNameLength(), 0);
    EXPECT_EQ(registry.KeyClass(), "");
    EXPECT_EQ(registry.SecurityDescriptor(), 0);
}

TEST_F(CRegistryTest, lastWriteTimeIsLocalToTheSecond)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Clock", true);
    registry.WriteValue("v", "x");
    const QDateTime written = registry.LastWriteTime();
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    EXPECT_EQ(written.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(written.time().msec(), 0);
    EXPECT_LE(before, written);
    EXPECT_LE(written, after);
}

TEST_F(CRegistryTest, deleteKeyRefusesSubkeys_andLeavesNoKeyOpen)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Parent\\Child"));
    registry.OpenKey(HKEY_CURRENT_USER, "Software\\Parent");
    ExpectRaised([this] { registry.DeleteKey(); }, "CRegistry:DeleteKey",
                 "Failed to delete key Software\\Parent.");
    EXPECT_EQ(registry.CurrentKey(), "");

    registry.OpenKey(HKEY_CURRENT_USER, "Software/Parent/Child");
    registry.DeleteKey();
    EXPECT_EQ(registry.CurrentKey(), "");
    ExpectRaised([this] { registry.OpenKey(HKEY_CURRENT_USER, "Software\\Parent\\Child"); },
                 "CRegistry:OpenKey", "Failed to open key Software\\Parent\\Child.");
}

TEST_F(CRegistryTest, readOnlyMachineHiveOpensWithFullAccessButRefusesWrites)
{
    const HKEY key = Create(HKEY_LOCAL_MACHINE, "Software\\Player");
    ASSERT_EQ(SetString(key, "Inno Setup: App Path", "/opt/player"), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(chmod(MachineHive().c_str(), 0444), 0);

    registry.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Player");
    EXPECT_EQ(registry.ReadValue("Inno Setup: App Path"), "/opt/player");
    ExpectRaised([this] { registry.WriteValue("x", "y"); }, "CRegistry:WriteValue",
                 "Failed to write new value to x from Registry.");
}

TEST_F(CRegistryTest, closingTheObjectClosesItsKey)
{
    DWORD before = 0;
    {
        CRegistry scoped;
        scoped.OpenKey(HKEY_CURRENT_USER, "Software\\Scoped", true);
        HKEY probe = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &probe), ERROR_SUCCESS);
        before = probe;
        RegCloseKey(probe);
    }
    // Handles come from a counter: the next one after the scoped object's
    // key and the probe is fresh, and the object's handle is gone.
    HKEY probe = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &probe), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(before - 1), ERROR_INVALID_HANDLE);
    RegCloseKey(probe);
}

} // namespace

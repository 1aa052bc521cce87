#include "editor/shell/modInstall.h"
#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>

namespace {

QString Temp(const char* prefix)
{
    return QString::fromStdString(zrv::test::MakeTempDir(prefix));
}

void AddUninstallEntry(const QString& name, const QString& appPath = {})
{
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, Install::UninstallKey + u'\\' + name, true);
    registry.WriteValue(QStringLiteral("DisplayName"), name);
    if (!appPath.isNull())
        registry.WriteValue(Install::AppPathValue, appPath);
}

void DeleteUninstallKey()
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_LOCAL_MACHINE, Install::UninstallKey, false);
        QString name;
        while (registry.NumOfSubKeys() > 0) {
            registry.ReadKeyByNum(1, name);
            CRegistry entry;
            entry.OpenKey(HKEY_LOCAL_MACHINE, Install::UninstallKey + u'\\' + name, false);
            entry.DeleteKey();
            registry.OpenKey(HKEY_LOCAL_MACHINE, Install::UninstallKey, false);
        }
        registry.DeleteKey();
    } catch (const EditorError&) {
    }
}

bool HasDataFolder(const QString& folder)
{
    return QFileInfo(folder + QStringLiteral("/data")).isDir();
}

class FindAppPathTest : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteUninstallKey();
        mEditor = Temp("editor");
        mPlayer = Temp("player");
    }
    void TearDown() override { DeleteUninstallKey(); }

    QString mEditor;
    QString mPlayer;
};

TEST(PlayerEntry, matchesTheProductButNotTheEditor)
{
    EXPECT_TRUE(Install::IsPlayerEntry(QStringLiteral("ZorvaFortune")));
    EXPECT_TRUE(Install::IsPlayerEntry(QStringLiteral("zorvafortune")));
    EXPECT_TRUE(Install::IsPlayerEntry(QStringLiteral("ZorvaFortune_is1")));
    EXPECT_FALSE(Install::IsPlayerEntry(QStringLiteral("ZorvaFortune Editor")));
    EXPECT_FALSE(Install::IsPlayerEntry(QStringLiteral("zorvafortune editor 2")));
    EXPECT_FALSE(Install::IsPlayerEntry(QStringLiteral("Zorva Fortune")));
}

TEST_F(FindAppPathTest, withoutUninstallKeyUsesEditorFolderAndCreatesNothing)
{
    EXPECT_EQ(Install::FindAppPath(mEditor), mEditor);
    EXPECT_FALSE(HasDataFolder(mEditor));
}

TEST_F(FindAppPathTest, withoutPlayerEntryCreatesDataInEditorFolder)
{
    AddUninstallEntry(QStringLiteral("ZorvaFortune Editor"), mPlayer);
    AddUninstallEntry(QStringLiteral("Other Program"), mPlayer);
    EXPECT_EQ(Install::FindAppPath(mEditor), mEditor);
    EXPECT_TRUE(HasDataFolder(mEditor));
    EXPECT_FALSE(HasDataFolder(mPlayer));
}

TEST_F(FindAppPathTest, editorEntryIsPassedOverForThePlayers)
{
    const QString other = Temp("other");
    AddUninstallEntry(QStringLiteral("ZorvaFortune Editor 2"), other);
    AddUninstallEntry(QStringLiteral("ZorvaFortune"), mPlayer);
    EXPECT_EQ(Install::FindAppPath(mEditor), mPlayer);
    EXPECT_TRUE(HasDataFolder(mPlayer));
    EXPECT_FALSE(HasDataFolder(other));
    EXPECT_FALSE(HasDataFolder(mEditor));
}

TEST_F(FindAppPathTest, lowerCaseEntryMatches)
{
    AddUninstallEntry(QStringLiteral("zorvafortune"), mPlayer);
    EXPECT_EQ(Install::FindAppPath(mEditor), mPlayer);
}

TEST_F(FindAppPathTest, firstMatchingEntryInEnumerationOrderWins)
{
    const QString second = Temp("second");
    AddUninstallEntry(QStringLiteral("ZorvaFortune B"), second);
    AddUninstallEntry(QStringLiteral("ZorvaFortune A"), mPlayer);
    EXPECT_EQ(Install::FindAppPath(mEditor), mPlayer);
}

TEST_F(FindAppPathTest, entryWithoutAppPathFallsBackWithoutDataFolder)
{
    AddUninstallEntry(QStringLiteral("ZorvaFortune"));
    EXPECT_EQ(Install::FindAppPath(mEditor), mEditor);
    EXPECT_FALSE(HasDataFolder(mEditor));
}

TEST_F(FindAppPathTest, dataFolderIsCreatedOnceAndKept)
{
    AddUninstallEntry(QStringLiteral("ZorvaFortune"), mPlayer);
    ASSERT_EQ(Install::FindAppPath(mEditor), mPlayer);
    const QString marker = mPlayer + QStringLiteral("/data/archive");
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(Install::FindAppPath(mEditor), mPlayer);
    EXPECT_TRUE(QFileInfo::exists(marker));
}

TEST_F(FindAppPathTest, uncreatableDataFolderFallsBackToEditorFolder)
{
    AddUninstallEntry(QStringLiteral("ZorvaFortune"), mPlayer + QStringLiteral("/missing/parent"));
    EXPECT_EQ(Install::FindAppPath(mEditor), mEditor);
    EXPECT_FALSE(HasDataFolder(mEditor));
    EXPECT_FALSE(QFileInfo::exists(mPlayer + QStringLiteral("/missing")));
}

} // namespace

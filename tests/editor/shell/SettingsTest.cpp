#include "editor/shell/CSettings.h"
#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <gtest/gtest.h>
#include <optional>

using zrv::test::StoredSetting;
using zrv::test::WriteSetting;

namespace {

bool SettingsKeyExists()
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, false);
        return true;
    } catch (const EditorError&) {
        return false;
    }
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { zrv::test::EditorTestEnvironment::DeleteSettings(); }
    void TearDown() override { zrv::test::EditorTestEnvironment::DeleteSettings(); }
};

TEST(SettingsRounding, halvesGoToEven)
{
    const struct {
        int64_t numerator;
        int64_t denominator;
        int32_t rounded;
    } cases[] = {
        {450, 100, 4}, {550, 100, 6},   {451, 100, 5},   {449, 100, 4},
        {0, 100, 0},   {-450, 100, -4}, {-550, 100, -6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSettings::RoundHalfEven(c.numerator, c.denominator), c.rounded) << c.numerator;
}

TEST(SettingsRounding, defaultPlacementIsAShareOfTheScreen)
{
    CSettings settings;
    settings.HideToolbar = true;
    settings.SavedWindowState = 0;
    // 15 % of 30 = 4.5 -> 4, 70 % of 30 = 21; 25 % of 90 = 22.5 -> 22, 50 % of 90 = 45.
    settings.SetDefaults(90, 30);
    EXPECT_FALSE(settings.HideToolbar);
    EXPECT_FALSE(settings.HideHeader);
    EXPECT_EQ(settings.SavedWindowState, CSettings::StateMaximised);
    EXPECT_EQ(settings.Saved.Top, 4);
    EXPECT_EQ(settings.Saved.Height, 21);
    EXPECT_EQ(settings.Saved.Left, 22);
    EXPECT_EQ(settings.Saved.Width, 45);
    // 15 % of 10 = 1.5 -> 2; 25 % of 10 = 2.5 -> 2; 25 % of 14 = 3.5 -> 4.
    settings.SetDefaults(14, 10);
    EXPECT_EQ(settings.Saved.Top, 2);
    EXPECT_EQ(settings.Saved.Left, 4);
    settings.SetDefaults(19200, 10800);
    EXPECT_EQ(settings.Saved.Top, 1620);
    EXPECT_EQ(settings.Saved.Height, 7560);
    EXPECT_EQ(settings.Saved.Left, 4800);
    EXPECT_EQ(settings.Saved.Width, 9600);
}

TEST(SettingsNumbers, storedTextBecomesAnInteger)
{
    const struct {
        const char* text;
        std::optional<int32_t> number;
    } cases[] = {
        {"1200", 1200},
        {" 1200 ", 1200},
        {"-15", -15},
        {"12.5", 12},
        {"13.5", 14},
        {"12.51", 13},
        {"1e3", 1000},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12px", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSettings::ParseNumber(QString::fromUtf8(c.text)), c.number) << c.text;
}

TEST_F(SettingsTest, loadWithoutKeyKeepsDefaultsAndCreatesTheKey)
{
    CSettings settings;
    settings.SetDefaults(19200, 10800);
    const CSettings defaults = settings;
    settings.Load();
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_EQ(settings.HideToolbar, defaults.HideToolbar);
    EXPECT_EQ(settings.SavedWindowState, defaults.SavedWindowState);
    EXPECT_EQ(settings.Saved.Top, defaults.Saved.Top);
    EXPECT_EQ(settings.Saved.Width, defaults.Saved.Width);
}

TEST_F(SettingsTest, eachValueIsReadByItself)
{
    WriteSetting(QStringLiteral("HideToolbar"), QStringLiteral("true"));
    WriteSetting(QStringLiteral("HideHeader"), QStringLiteral("1"));
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("1"));
    WriteSetting(QStringLiteral("Top"), QStringLiteral("oops"));
    WriteSetting(QStringLiteral("Height"), QStringLiteral("3000.5"));
    WriteSetting(QStringLiteral("Width"), QStringLiteral("6001.5"));
    CSettings settings;
    settings.SetDefaults(19200, 10800);
    settings.Load();
    EXPECT_FALSE(settings.HideToolbar);
    EXPECT_TRUE(settings.HideHeader);
    EXPECT_EQ(settings.SavedWindowState, 1);
    EXPECT_EQ(settings.Saved.Top, 1620);
    EXPECT_EQ(settings.Saved.Height, 3000);
    EXPECT_EQ(settings.Saved.Left, 4800);
    EXPECT_EQ(settings.Saved.Width, 6002);
}

TEST_F(SettingsTest, hiddenFlagIgnoresLetterCase)
{
    // Value names in any letter case are the same value; only the text "1"
    // hides, whatever letter case a word like "TRUE" has.
    WriteSetting(QStringLiteral("HIDETOOLBAR"), QStringLiteral("1"));
    CSettings settings;
    settings.Load();
    EXPECT_TRUE(settings.HideToolbar);
    for (const QString& text : {QStringLiteral("0"), QStringLiteral("TRUE"), QStringLiteral("True"),
                                QStringLiteral("-1"), QStringLiteral(" 1")}) {
        WriteSetting(QStringLiteral("hideheader"), text);
        settings.HideHeader = true;
        settings.Load();
        EXPECT_FALSE(settings.HideHeader) << text.toStdString();
    }
}

TEST_F(SettingsTest, saveThenLoad_roundTrip)
{
    CSettings saved;
    saved.HideToolbar = true;
    saved.HideHeader = false;
    saved.Save(CSettings::StateNormal, {1500, 6000, 3000, 9000});
    EXPECT_EQ(StoredSetting(QStringLiteral("HideToolbar")), QStringLiteral("1"));
    EXPECT_EQ(StoredSetting(QStringLiteral("HideHeader")), QStringLiteral("0"));
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("0"));
    CSettings loaded;
    loaded.SetDefaults(19200, 10800);
    loaded.Load();
    EXPECT_TRUE(loaded.HideToolbar);
    EXPECT_EQ(loaded.SavedWindowState, 0);
    EXPECT_EQ(loaded.Saved.Top, 1500);
    EXPECT_EQ(loaded.Saved.Height, 6000);
    EXPECT_EQ(loaded.Saved.Left, 3000);
    EXPECT_EQ(loaded.Saved.Width, 9000);
}

TEST_F(SettingsTest, minimisedAndMaximisedKeepTheNormalPlacement)
{
    CSettings settings;
    settings.Save(CSettings::StateNormal, {1500, 6000, 3000, 9000});
    settings.Save(CSettings::StateMaximised, {0, 10800, 0, 19200});
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("2"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Height")), QStringLiteral("6000"));
    settings.Save(CSettings::StateMinimised, {-32000, 0, -32000, 0});
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("1"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Top")), QStringLiteral("1500"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Left")), QStringLiteral("3000"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Width")), QStringLiteral("9000"));
}

} // namespace

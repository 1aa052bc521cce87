#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modLike.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSet>

namespace {

struct PatternCase {
    const char* text;
    const char* pattern;
    bool matches;
};

TEST(MatchesPattern, followsTheWildcardTable)
{
    const PatternCase cases[] = {
        {"ZorvaFortune", "ZorvaFortune*", true},
        {"zorvafortune", "ZorvaFortune*", true},
        {"ZorvaFortune 2.1", "ZorvaFortune*", true},
        {"ZorvaFortun", "ZorvaFortune*", false},
        {"My ZorvaFortune", "ZorvaFortune*", false},
        {"ZorvaFortune Editor 2", "ZorvaFortune Editor*", true},
        {"ZorvaFortune Editor", "ZorvaFortune Editor*", true},
        {"ZorvaFortuneEditor", "ZorvaFortune Editor*", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbbc", "a*c", true},
        {"abcd", "a*c", false},
        {"abcabc", "*abc", true},
        {"", "*", true},
        {"", "?", false},
        {"a[b]", "a[b]", true},
        {"ab", "a[b]", false},
        {"aXbXc", "*b*c", true},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(MatchesPattern(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern),
                                 Qt::CaseInsensitive),
                  c.matches)
            << c.text << " like " << c.pattern;
    }
}

TEST(MatchesPattern, caseSensitiveWhenAsked)
{
    EXPECT_FALSE(MatchesPattern(QStringLiteral("ABC"), QStringLiteral("abc"), Qt::CaseSensitive));
    EXPECT_TRUE(MatchesPattern(QStringLiteral("ABC"), QStringLiteral("abc"), Qt::CaseInsensitive));
}

class ArchiveFilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        mFolder = QString::fromStdString(zrv::test::MakeTempDir("data"));
        Touch(QStringLiteral("Proverbs"));
        Touch(QStringLiteral("read-only"));
        QFile::setPermissions(mFolder + QStringLiteral("/read-only"), QFile::ReadOwner);
        Touch(QStringLiteral(".hidden"));
        ASSERT_TRUE(QDir(mFolder).mkdir(QStringLiteral("folder")));
        ASSERT_TRUE(QFile::link(mFolder + QStringLiteral("/Proverbs"),
                                mFolder + QStringLiteral("/linked")));
        ASSERT_TRUE(
            QFile::link(mFolder + QStringLiteral("/gone"), mFolder + QStringLiteral("/dangling")));
    }

    void Touch(const QString& name)
    {
        QFile file(mFolder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QString mFolder;
};

TEST_F(ArchiveFilesTest, existenceTakesTheNameAsAPattern)
{
    const std::pair<const char*, bool> cases[] = {
        {"Proverbs", true},  {"proverbs", true},    {"Prov*", true},    {"Pr?verbs", true},
        {"*", true},         {"read-only", true},   {"linked", false},  {"Proverb", false},
        {"folder", false},   {"fold*", false},      {".hidden", false}, {".hid*", false},
        {"dangling", false}, {"", false},           {".", false},       {"..", false},
        {"../data", false},  {"x/Proverbs", false},
    };
    for (const auto& [name, exists] : cases)
        EXPECT_EQ(ArchiveFiles::HasArchive(mFolder, QString::fromUtf8(name)), exists) << name;
    EXPECT_FALSE(ArchiveFiles::HasArchive(mFolder, QStringLiteral("Proverbs") + QChar(0)));
    EXPECT_FALSE(
        ArchiveFiles::HasArchive(mFolder + QStringLiteral("/missing"), QStringLiteral("*")));
}

TEST_F(ArchiveFilesTest, pathPrefersTheExactNameThenTheOnlyCaseVariant)
{
    EXPECT_EQ(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("Proverbs")),
              mFolder + QStringLiteral("/Proverbs"));
    EXPECT_EQ(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("PROVERBS")),
              mFolder + QStringLiteral("/Proverbs"));
    EXPECT_EQ(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("Prov*")),
              mFolder + QStringLiteral("/Prov*"));
    Touch(QStringLiteral("PROVERBS"));
    EXPECT_EQ(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("PROVERBS")),
              mFolder + QStringLiteral("/PROVERBS"));
    EXPECT_EQ(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("proverbs")),
              mFolder + QStringLiteral("/proverbs"));
    EXPECT_TRUE(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("..")).isEmpty());
    EXPECT_TRUE(ArchiveFiles::ArchivePath(mFolder, QStringLiteral("a/b")).isEmpty());
}

// Links are left out: an archive name never reaches outside the data folder.
TEST_F(ArchiveFilesTest, listHoldsTheRegularVisibleFilesOnly)
{
    const QStringList names = ArchiveFiles::List(mFolder);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()),
              (QSet<QString>{QStringLiteral("Proverbs"), QStringLiteral("read-only")}));
    EXPECT_TRUE(ArchiveFiles::List(mFolder + QStringLiteral("/missing")).isEmpty());
}

} // namespace

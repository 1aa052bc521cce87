#include "editor/support/CArchiveObject.h"
#include "editor/support/EditorError.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/editor/support/LoggedWarnings.h"
#include "tests/support/TempHome.h"

#include <functional>
#include <gtest/gtest.h>
#include <QStringList>

namespace {

using zrv::test::LoggedWarnings;

class ArchiveObjectTest : public testing::Test {
protected:
    // An archive of the texts given, through the door.
    CArchiveObject Archive(const QStringList& fortunes)
    {
        return CArchiveObject(FortuneFiles::MakeArchive(path, QStringLiteral("H"), fortunes));
    }
    QStringList OnDisk() const
    {
        return FortuneFiles::Fortunes(FortuneFiles::LoadFortune(path).get());
    }

    zrv::test::EditorTestEnvironment environment;
    QString path = QString::fromStdString(zrv::test::MakeTempDir("door")) + "/Archive";
};

std::vector<BString> Texts(const QStringList& texts)
{
    std::vector<BString> result;
    for (const QString& text : texts)
        result.push_back(CArchiveObject::ToBString(text));
    return result;
}

} // namespace

// Every operation fails the one way: EditorError naming the call, with the
// call's result as its number, and one warning line of zrv.editor.
TEST_F(ArchiveObjectTest, everyFailureIsAnEditorErrorAndALogLine)
{
    const CArchiveObject none;
    const CArchiveObject one = Archive({"alpha"});
    const struct {
        const char* source;
        std::function<void()> call;
        bool empty; // on the empty object, whose result is E_POINTER
    } cases[] = {
        {"IFortune:Load", [] { CArchiveObject().Load(QStringLiteral("/nowhere")); }, true},
        {"IFortune:Count", [&] { none.Count(); }, true},
        {"IFortune:Item", [&] { none.Item(1); }, true},
        {"IFortune:Item", [&] { none.PutItem(1, BString(u"x")); }, true},
        {"IFortune:Name", [&] { none.Name(); }, true},
        {"IFortune:Header", [&] { none.Header(); }, true},
        {"IFortune:Header", [&] { none.PutHeader(QStringLiteral("x")); }, true},
        {"IFortune:Add", [&] { none.Add(BString(u"x")); }, true},
        {"IFortune:Delete", [&] { none.Delete(1); }, true},
        {"IFortune:QueryInterface", [&] { none.Snapshot(); }, true},
        {"IFortune:AddMany", [&] { none.AddMany(Texts({"x"}), {}); }, true},
        {"IFortune:DeleteMany", [&] { none.DeleteMany({1}); }, true},
        {"IFortune:Item", [&] { one.PutItem(1, BString(u"x\r\n%")); }, false},
        {"IFortune:Header", [&] { one.PutHeader(QStringLiteral("x\r\n%")); }, false},
        {"IFortune:Add", [&] { one.Add(BString(u"y\r\n%")); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const LoggedWarnings log;
        try {
            c.call();
            ADD_FAILURE() << "no failure";
        } catch (const EditorError& error) {
            EXPECT_EQ(error.Source(), QLatin1String(c.source));
            EXPECT_LT(error.Number(), 0);
            if (c.empty) {
                EXPECT_EQ(error.Number(), E_POINTER);
            }
        }
        ASSERT_EQ(log.Lines().size(), 1) << log.Lines().join('\n').toStdString();
        EXPECT_TRUE(log.Lines()[0].startsWith(QStringLiteral("zrv.editor: ") + c.source))
            << log.Lines()[0].toStdString();
    }
    EXPECT_EQ(OnDisk(), QStringList{"alpha"});
}

// A batch the archive refuses (a text ending in a line of "%") goes one Add
// at a time; each refused text is reported and may end the run.
TEST_F(ArchiveObjectTest, addMany_batchOrOneByOneWhenRefused)
{
    const CArchiveObject archive = Archive({"a"});
    const LoggedWarnings log;
    EXPECT_EQ(archive.AddMany(Texts({"b", "c"}), {}), 2u);
    EXPECT_TRUE(log.Lines().isEmpty());

    std::vector<size_t> refused;
    const auto goOn = [&refused](size_t position, HRESULT hr) {
        EXPECT_LT(hr, 0);
        refused.push_back(position);
        return true;
    };
    EXPECT_EQ(archive.AddMany(Texts({"d", "e\r\n%", "f"}), goOn), 2u);
    EXPECT_EQ(refused, std::vector<size_t>{1});
    EXPECT_EQ(OnDisk(), (QStringList{"a", "b", "c", "d", "f"}));
    ASSERT_EQ(log.Lines().size(), 1);
    EXPECT_TRUE(log.Lines()[0].startsWith(QStringLiteral("zrv.editor: IFortune:AddMany")));

    refused.clear();
    const auto stop = [&refused](size_t position, HRESULT) {
        refused.push_back(position);
        return false;
    };
    EXPECT_EQ(archive.AddMany(Texts({"g", "h\r\n%", "i"}), stop), 1u);
    EXPECT_EQ(refused, std::vector<size_t>{1});
    EXPECT_EQ(OnDisk(), (QStringList{"a", "b", "c", "d", "f", "g"}));
    EXPECT_EQ(archive.AddMany({}, stop), 0u);
}

TEST_F(ArchiveObjectTest, deleteMany_allOrNothing)
{
    const CArchiveObject archive = Archive({"a", "b", "c", "d"});
    const LoggedWarnings log;
    EXPECT_FALSE(archive.DeleteMany({4, 9}));
    EXPECT_EQ(OnDisk(), (QStringList{"a", "b", "c", "d"}));
    ASSERT_EQ(log.Lines().size(), 1);
    EXPECT_TRUE(log.Lines()[0].startsWith(QStringLiteral("zrv.editor: IFortune:DeleteMany")));
    EXPECT_TRUE(archive.DeleteMany({3, 1}));
    EXPECT_EQ(OnDisk(), (QStringList{"b", "d"}));
    EXPECT_EQ(archive.Count(), 2);
}

// The texts cross as the same UTF-16 units, NULs and surrogates included.
TEST(ArchiveObjectText, sameUnitsBothWays)
{
    const QChar withNul[] = {u'a', QChar(0), u'b'};
    const QStringList texts = {QString(), QStringLiteral("plain"), QString(withNul, 3),
                               QString::fromUtf8("\xF0\x9F\x8E\xB2 \xC3\xA9")};
    for (const QString& text : texts) {
        const BString converted = CArchiveObject::ToBString(text);
        EXPECT_EQ(converted.view().size(), static_cast<size_t>(text.size()));
        EXPECT_EQ(CArchiveObject::ToQString(converted), text);
    }
}

// The batches of an import on a real Fortune object: when they go to the
// archive, what the list is told they added, and a vanished archive.
#include "editor/archives/CImportChunk.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/CRenameWatch.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

class ImportChunkTest : public testing::Test {
protected:
    zrv::test::EditorTestEnvironment environment;
    const std::string folder = zrv::test::MakeTempDir("import");
    const QString path = QString::fromStdString(folder) + "/Archive";
    const ComPtr<IFortune> archive = FortuneFiles::MakeArchive(path, "Header", {"old"});
};

} // namespace

// A batch goes once it holds the bound in characters, the rest at the end;
// the rows are the first lines of what the archive stores (line breaks
// trimmed, a text of nothing else adding none).
TEST_F(ImportChunkTest, batchesFollowTheCharacterBound_rowsAreWhatTheArchiveStores)
{
    zrv::test::CRenameWatch rewrites(folder, "Archive");
    CImportChunk chunk(CArchiveObject(archive), path, 10);
    const struct {
        QString text;
        int rewritesAfter;
    } rows[] = {{"abcd", 0}, {"efgh", 0}, {"ij\r\nkl", 1}, {"\r\n", 1}, {"\r\nmn\r\n", 1}};
    int row = 0;
    for (const auto& r : rows) {
        EXPECT_TRUE(chunk.Take(++row, r.text));
        EXPECT_EQ(rewrites.Count(), r.rewritesAfter) << r.text.toStdString();
    }
    EXPECT_TRUE(chunk.Flush());
    EXPECT_EQ(rewrites.Count(), 2);
    EXPECT_EQ(FortuneFiles::Fortunes(archive.get()),
              (QStringList{"old", "abcd", "efgh", "ij\r\nkl", "mn"}));
    EXPECT_TRUE(chunk.AllAppended());
    EXPECT_EQ(chunk.AppendedRows(), (QList<QString>{"abcd", "efgh", "ij", "mn"}));
}

// A row the archive cannot store is passed over; the rows it then holds are
// no longer known from the batch.
TEST_F(ImportChunkTest, refusedRow_isPassedOver_andTheRowsAreNoLongerKnown)
{
    CImportChunk chunk(CArchiveObject(archive), path);
    for (const char* text : {"a", "b\r\n%", "c"})
        EXPECT_TRUE(chunk.Take(1, text));
    EXPECT_TRUE(chunk.Flush());
    EXPECT_EQ(FortuneFiles::Fortunes(archive.get()), (QStringList{"old", "a", "c"}));
    EXPECT_FALSE(chunk.AllAppended());
}

TEST_F(ImportChunkTest, vanishedArchive_isNotCreatedAgain)
{
    CImportChunk chunk(CArchiveObject(archive), path, 4);
    EXPECT_TRUE(chunk.Take(1, "ab"));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(chunk.Take(2, "cd")) << "the batch was due";
    EXPECT_TRUE(chunk.Flush()) << "nothing left to append";
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(chunk.AppendedRows().isEmpty());
}

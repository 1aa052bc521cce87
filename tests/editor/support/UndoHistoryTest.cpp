// The undo history: the order steps are taken back and made again, the
// file state it answers for, and the bound on the texts it holds.
#include "editor/support/CUndoHistory.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <string>

namespace {

CUndoStep Step(const char* name, size_t characters = 1)
{
    return {name, CUndoStep::Kind::Deleted, {1}, {BString(std::u16string(characters, u'x'))}};
}

class UndoHistoryTest : public testing::Test {
protected:
    // A state of the file the history can be told about: each call writes it.
    CFileState Touch()
    {
        QFile file(folder.filePath(QStringLiteral("archive")));
        EXPECT_TRUE(file.open(QIODevice::Append));
        file.write("x");
        file.close();
        return CFileState::Of(file.fileName());
    }

    QTemporaryDir folder;
};

TEST_F(UndoHistoryTest, stepsAreUndoneNewestFirst_andANewStepEndsTheRedoList)
{
    CUndoHistory history;
    const CFileState s0 = Touch(), s1 = Touch(), s2 = Touch();
    history.Record(Step("Add"), s0, s1);
    history.Record(Step("Delete"), s1, s2);
    ASSERT_NE(history.NextUndo(), nullptr);
    EXPECT_EQ(history.NextUndo()->name, "Delete");
    EXPECT_TRUE(history.Matches(s2));
    EXPECT_FALSE(history.Matches(s1));

    history.Undone(s1);
    EXPECT_EQ(history.NextUndo()->name, "Add");
    EXPECT_EQ(history.NextRedo()->name, "Delete");
    EXPECT_TRUE(history.Matches(s1));
    history.Redone(s2);
    EXPECT_EQ(history.NextRedo(), nullptr);
    history.Undone(s1);

    const CFileState s3 = Touch();
    history.Record(Step("Paste"), s1, s3);
    EXPECT_EQ(history.NextRedo(), nullptr) << "a new step drops what could be redone";
    EXPECT_EQ(history.Steps(), 2U);
}

// A step made on a file that another program changed since the last step
// cannot sit on top of the older ones: they go.
TEST_F(UndoHistoryTest, aStepOnAnotherStateOfTheFile_endsTheOlderSteps)
{
    CUndoHistory history;
    const CFileState s0 = Touch(), s1 = Touch(), outside = Touch(), s2 = Touch();
    history.Record(Step("Add"), s0, s1);
    history.Record(Step("Edit"), outside, s2);
    EXPECT_EQ(history.Steps(), 1U);
    EXPECT_EQ(history.NextUndo()->name, "Edit");
}

TEST_F(UndoHistoryTest, theOldestStepsGo_whileTheTextsPassTheBound)
{
    const CFileState s0 = Touch();
    CUndoHistory filled;                 // the real bound: 64 MiB of UTF-16 texts
    const size_t step = size_t{4} << 20; // characters: 8 MiB a step
    for (int i = 0; i < 20; ++i)
        filled.Record(Step("Import", step), s0, s0);
    EXPECT_LE(filled.Bytes(), CUndoHistory::kDefaultBound);
    EXPECT_EQ(filled.Steps(), 7U) << "eight steps and their indexes pass 64 MiB";

    CUndoHistory small(100);
    small.Record(Step("Add", 30), s0, s0); // 64 bytes with its index
    small.Record(Step("Edit", 20), s0, s0);
    EXPECT_EQ(small.Steps(), 1U);
    EXPECT_EQ(small.NextUndo()->name, "Edit");
    small.Record(Step("Import", 60), s0, s0);
    EXPECT_EQ(small.Steps(), 0U) << "a step over the bound is not kept";
    EXPECT_EQ(small.Bytes(), 0U);
    EXPECT_FALSE(small.Matches(s0));
}

} // namespace

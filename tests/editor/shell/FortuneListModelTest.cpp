// The fortune list's rows under a find: which fortunes match, which rows are
// listed with which keys, how rows and fortunes map to each other, and how
// the next and previous match go round.
#include "editor/shell/CFortuneListModel.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QSignalSpy>
#include <vector>

namespace {

// Fortunes 1 to 6; the matches of "apple" are 1, 3, 4 (on its second line)
// and 6, in other letter cases.
const QList<QString> kTexts = {
    QStringLiteral("Apple pie"),      QStringLiteral("plum"),
    QStringLiteral("an APPLE a day"), QStringLiteral("first line\r\npineapple"),
    QStringLiteral("ap ple"),         QStringLiteral("crab apPle"),
};

QStringList Keys(const CFortuneListModel& rows)
{
    QStringList keys;
    for (int row = 0; row < rows.rowCount(); ++row)
        keys << rows.index(row, 0).data(CFortuneListModel::KeyRole).toString();
    return keys;
}

struct FindCase {
    const char* text;
    bool filter;
    QStringList keys; // the rows listed
    int matches;
};

void PrintTo(const FindCase& find, std::ostream* out)
{
    *out << '"' << find.text << '"' << (find.filter ? " filtered" : "");
}

class FindRows : public testing::TestWithParam<FindCase> {};

TEST_P(FindRows, listsTheMatchingFortunesWithTheirOwnKeys)
{
    CFortuneListModel rows;
    rows.SetRows(kTexts);
    rows.SetFind(QString::fromUtf8(GetParam().text), GetParam().filter);
    EXPECT_EQ(Keys(rows), GetParam().keys);
    EXPECT_EQ(rows.MatchCount(), GetParam().matches);
    EXPECT_EQ(rows.FortuneCount(), 6);
}

const QStringList kAll = {"I1", "I2", "I3", "I4", "I5", "I6"};

INSTANTIATE_TEST_SUITE_P(Finds, FindRows,
                         testing::Values(FindCase{"apple", true, {"I1", "I3", "I4", "I6"}, 4},
                                         FindCase{"APPLE", true, {"I1", "I3", "I4", "I6"}, 4},
                                         FindCase{"pineapple", true, {"I4"}, 1},
                                         FindCase{"line\r\npine", true, {"I4"}, 1},
                                         FindCase{"ap ple", true, {"I5"}, 1},
                                         FindCase{"kiwi", true, {}, 0}, FindCase{"", true, kAll, 0},
                                         FindCase{"apple", false, kAll, 4},
                                         FindCase{"kiwi", false, kAll, 0}));

TEST(FortuneListModelTest, lettersOutsideAsciiMatchInAnyCase)
{
    CFortuneListModel rows;
    rows.SetRows({QStringLiteral("\u00c4PFEL und Birnen"),
                  QStringLiteral("\u0394\u03ad\u03bb\u03c4\u03b1"), QStringLiteral("Apfel")});
    rows.SetFind(QStringLiteral("\u00e4pfel"), true);
    EXPECT_EQ(Keys(rows), (QStringList{"I1"}));
    rows.SetFind(QStringLiteral("\u03b4\u0388\u039b"), true);
    EXPECT_EQ(Keys(rows), (QStringList{"I2"}));
}

TEST(FortuneListModelTest, rowsAndFortunesMapBothWays)
{
    CFortuneListModel rows;
    rows.SetRows(kTexts);
    rows.SetFind(QStringLiteral("apple"), true);
    const std::vector<int> fortuneOfRow = {0, 2, 3, 5};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(rows.FortuneOf(row), fortuneOfRow[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(rows.RowOf(fortuneOfRow[static_cast<size_t>(row)]), row) << row;
    }
    for (const int hidden : {1, 4})
        EXPECT_EQ(rows.RowOf(hidden), -1) << hidden;
    for (const int outside : {-1, 4, 100})
        EXPECT_EQ(rows.FortuneOf(outside), -1) << outside;
    EXPECT_EQ(rows.RowOf(6), -1);
    EXPECT_EQ(rows.RowText(2), QStringLiteral("first line"));

    rows.SetFind(QStringLiteral("apple"), false);
    EXPECT_EQ(rows.RowOf(4), 4);
    EXPECT_EQ(rows.FortuneOf(4), 4);
}

TEST(FortuneListModelTest, nextAndPreviousMatchGoRound)
{
    CFortuneListModel rows;
    rows.SetRows(kTexts);
    rows.SetFind(QStringLiteral("apple"), false);
    const struct {
        int from;
        bool forward;
        int next;
    } steps[] = {
        {-1, true, 0},  {0, true, 2},  {1, true, 2},  {3, true, 5},  {5, true, 0},
        {-1, false, 5}, {0, false, 5}, {2, false, 0}, {4, false, 3}, {5, false, 3},
    };
    for (const auto& step : steps)
        EXPECT_EQ(rows.NextMatch(step.from, step.forward), step.next)
            << step.from << (step.forward ? " forward" : " back");

    rows.SetFind(QStringLiteral("pineapple"), true);
    EXPECT_EQ(rows.NextMatch(3, true), 3) << "the one match is next to itself";
    EXPECT_EQ(rows.NextMatch(3, false), 3);
    rows.SetFind(QStringLiteral("kiwi"), false);
    EXPECT_EQ(rows.NextMatch(-1, true), -1);
    EXPECT_EQ(rows.NextMatch(2, false), -1);
}

// The find outlives changes of the rows: they are matched again.
TEST(FortuneListModelTest, changedRowsAreMatchedAgain)
{
    CFortuneListModel rows;
    rows.SetRows(kTexts);
    rows.SetFind(QStringLiteral("apple"), true);
    rows.Append({QStringLiteral("kiwi"), QStringLiteral("toffee APPLE")});
    EXPECT_EQ(Keys(rows), (QStringList{"I1", "I3", "I4", "I6", "I8"}));
    rows.Remove({true, false, false, true, false, false, false, true});
    EXPECT_EQ(Keys(rows), (QStringList{"I2", "I4"}));
    EXPECT_EQ(rows.RowText(0), QStringLiteral("an APPLE a day"));
    rows.SetRows({QStringLiteral("no"), QStringLiteral("pineapple")});
    EXPECT_EQ(Keys(rows), (QStringList{"I2"}));
    rows.SetFind(QString(), true);
    EXPECT_EQ(Keys(rows), (QStringList{"I1", "I2"}));
}

// Fortunes appended by their rows are held whole again once their texts are
// given; removing fortunes keeps the count of those held whole.
TEST(FortuneListModelTest, rowsAppendedAloneAreCompletedByTheirWholeTexts)
{
    CFortuneListModel rows;
    rows.SetRows({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    rows.Append({QStringLiteral("d")});
    EXPECT_EQ(rows.WholeCount(), 4);
    rows.Append({QStringLiteral("first"), QStringLiteral("second")}, false);
    rows.Append({QStringLiteral("g")});
    EXPECT_EQ(rows.WholeCount(), 4) << "whole texts after rows alone are read again too";
    rows.Remove({true, false, true, false, false, false, false});
    EXPECT_EQ(rows.WholeCount(), 2);
    EXPECT_EQ(rows.FortuneCount(), 5);
    rows.SetFind(QStringLiteral("apple"), true);
    EXPECT_EQ(rows.rowCount(), 0);
    rows.CompleteTexts(
        {QStringLiteral("first\r\napple"), QStringLiteral("second"), QStringLiteral("g apple")});
    EXPECT_EQ(rows.WholeCount(), 5);
    EXPECT_EQ(Keys(rows), (QStringList{"I3", "I5"}));
    EXPECT_EQ(rows.RowText(0), QStringLiteral("first"));
}

// Fortunes put back in at their indices, as an undone deletion puts them:
// the whole-text count stops at the first fortune held by its row alone.
TEST(FortuneListModelTest, insertedFortunesTakeTheirIndices_andAreMatched)
{
    CFortuneListModel rows;
    rows.SetRows(kTexts);
    rows.Remove({true, false, true, false, false, true});
    rows.SetFind(QStringLiteral("apple"), true);
    ASSERT_TRUE(rows.Insert({1, 3, 6}, {kTexts[0], kTexts[2], kTexts[5]}));
    EXPECT_EQ(Keys(rows), (QStringList{"I1", "I3", "I4", "I6"}));
    EXPECT_EQ(rows.WholeCount(), 6);
    rows.SetFind(QString(), true);
    EXPECT_EQ(rows.RowText(2), QStringLiteral("an APPLE a day"));
    EXPECT_EQ(rows.RowText(3), QStringLiteral("first line"));
    EXPECT_FALSE(rows.Insert({8}, {QStringLiteral("x")})) << "past the end";
    EXPECT_FALSE(rows.Insert({2, 2}, {QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_FALSE(rows.Insert({1}, {}));
    EXPECT_EQ(rows.FortuneCount(), 6);

    rows.Append({QStringLiteral("by its row")}, false);
    ASSERT_TRUE(rows.Insert({2, 9}, {QStringLiteral("b"), QStringLiteral("z")}));
    EXPECT_EQ(rows.FortuneCount(), 9);
    EXPECT_EQ(rows.WholeCount(), 7) << "up to the fortune held by its row";
    EXPECT_EQ(rows.RowText(8), QStringLiteral("z"));
}

// A keystroke costs the view one reset, not a signal per row.
TEST(FortuneListModelTest, aFindResetsTheRowsOnce)
{
    CFortuneListModel rows;
    QList<QString> texts;
    for (int i = 0; i < 1000; ++i)
        texts << QStringLiteral("fortune %1").arg(i);
    rows.SetRows(texts);
    QSignalSpy resets(&rows, &CFortuneListModel::modelReset);
    QSignalSpy removed(&rows, &CFortuneListModel::rowsRemoved);
    rows.SetFind(QStringLiteral("7"), true);
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(removed.size(), 0);
    EXPECT_EQ(rows.rowCount(), 271);
}

} // namespace

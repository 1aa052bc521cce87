#include "editor/editing/modSelection.h"

#include <gtest/gtest.h>
#include <iterator>
#include <numeric>
#include <QStandardItemModel>
#include <QTreeView>
#include <random>

using namespace modSelection;

namespace {

// Deletes one by one, as the archive does, renumbering after each deletion.
std::vector<int> RemainingAfter(int count, const std::vector<int32_t>& selected)
{
    std::vector<int> fortunes(static_cast<size_t>(count));
    std::iota(fortunes.begin(), fortunes.end(), 1);
    for (const int32_t index : DeletionOrder(selected))
        if (index >= 1 && index <= static_cast<int32_t>(fortunes.size()))
            fortunes.erase(fortunes.begin() + (index - 1));
    return fortunes;
}

} // namespace

TEST(DeletionOrder, selectedFortunesGoHighestFirst)
{
    const struct {
        std::vector<int32_t> selected;
        std::vector<int32_t> order;
    } cases[] = {
        {{}, {}},
        {{7}, {7}},
        {{2, 5, 3}, {5, 3, 2}},
        {{1, 2, 3, 4}, {4, 3, 2, 1}},
        {{10, 1, 9, 2}, {10, 9, 2, 1}},
        {{0, 4}, {4}},
        {{-3, 2}, {2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeletionOrder(c.selected), c.order);
}

TEST(DeletionOrder, deletingTwoFiveThreeOfTen_keepsTheOthersInOrder)
{
    EXPECT_EQ(RemainingAfter(10, {2, 5, 3}), (std::vector<int>{1, 4, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(RemainingAfter(4, {1, 2, 3, 4}).empty());
    EXPECT_EQ(RemainingAfter(3, {}), (std::vector<int>{1, 2, 3}));
}

TEST(RowKeys, keyGivesFortuneIndex)
{
    const struct {
        QString key;
        int32_t index;
    } cases[] = {{"I1", 1}, {"I10", 10}, {"I12345", 12345}, {"I", 0}, {"", 0}, {"Ix", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(IndexFromKey(c.key), c.index) << c.key.toStdString();
}

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

// A fortune list of n rows keyed I1..In, in a multi-selection view.
class SelectionTest : public testing::Test {
protected:
    void Fill(int rows)
    {
        for (int i = 1; i <= rows; ++i) {
            auto* item = new QStandardItem(QStringLiteral("Fortune %1").arg(i));
            item->setData(QStringLiteral("I%1").arg(i), kKeyRole);
            model.appendRow(item);
        }
        view.setModel(&model);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    void Select(std::initializer_list<int> rows)
    {
        for (const int row : rows)
            view.selectionModel()->select(model.index(row - 1, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<int32_t> Selected() const { return SelectedIndices(view, kKeyRole); }

    QStandardItemModel model;
    QTreeView view;
};

} // namespace

TEST_F(SelectionTest, selectAllDeselectAllAndInvert)
{
    Fill(5);
    SelectAll(view);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    DeselectAll(view);
    EXPECT_TRUE(Selected().empty());

    Select({4, 2});
    InvertSelection(view);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{1, 3, 5}));
    InvertSelection(view);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{2, 4}));
}

TEST_F(SelectionTest, emptyList_staysEmpty)
{
    Fill(0);
    SelectAll(view);
    InvertSelection(view);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(SelectionTest, selectedIndicesComeFromTheKeysInListOrder)
{
    Fill(12);
    model.item(9)->setData(QStringLiteral("I10"), kKeyRole);
    Select({10, 2, 12});
    EXPECT_EQ(Selected(), (std::vector<int32_t>{2, 10, 12}));
}

TEST_F(SelectionTest, currentRowCountsOnlyWhenSelected)
{
    Fill(3);
    EXPECT_EQ(CurrentIndex(view, kKeyRole), 0);
    view.setCurrentIndex(model.index(1, 0));
    EXPECT_EQ(CurrentIndex(view, kKeyRole), 2);
    view.selectionModel()->clearSelection();
    EXPECT_EQ(CurrentIndex(view, kKeyRole), 0);
}

// Overlapping, split and pending (Current) ranges as clicks, Shift and Ctrl
// leave them: the indices are those of the rows the selection model itself
// calls selected, each once, in list order.
TEST_F(SelectionTest, selectedIndicesMatchRowByRowAfterMixedSelections)
{
    Fill(40);
    std::mt19937 random(5);
    using Flag = QItemSelectionModel::SelectionFlag;
    const QItemSelectionModel::SelectionFlags kinds[] = {
        Flag::Select, Flag::Deselect, Flag::Toggle, Flag::ClearAndSelect,
        QItemSelectionModel::SelectionFlags(Flag::Select) | Flag::Current};
    for (int step = 0; step < 300; ++step) {
        const int top = static_cast<int>(random() % 40);
        const int bottom = std::min(39, top + static_cast<int>(random() % 8));
        const QItemSelection range(model.index(top, 0), model.index(bottom, 0));
        view.selectionModel()->select(range, kinds[random() % std::size(kinds)] |
                                                 QItemSelectionModel::Rows);
        std::vector<int32_t> expected;
        for (int row = 0; row < 40; ++row) {
            if (view.selectionModel()->isRowSelected(row, QModelIndex()))
                expected.push_back(row + 1);
        }
        ASSERT_EQ(Selected(), expected) << "after step " << step;
    }
}

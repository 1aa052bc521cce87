#include "editor/editing/modSelection.h"

#include <gtest/gtest.h>

#include <numeric>

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
    EXPECT_EQ(RemainingAfter(10, {2, 5, 3}), (std::vector<int> {1, 4, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(RemainingAfter(4, {1, 2, 3, 4}).empty());
    EXPECT_EQ(RemainingAfter(3, {}), (std::vector<int> {1, 2, 3}));
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

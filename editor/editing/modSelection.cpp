#include "editor/editing/modSelection.h"

#include "editor/support/EditorError.h"

#include <algorithm>
#include <functional>
#include <QAbstractItemView>
#include <QItemSelection>
#include <QItemSelectionModel>

namespace modSelection {

namespace {

QItemSelection AllRows(const QAbstractItemView& rlvwItems)
{
    QItemSelection all;
    const QAbstractItemModel* model = rlvwItems.model();
    if (model == nullptr || model->rowCount() == 0)
        return all;
    const int lastColumn = std::max(0, model->columnCount() - 1);
    all.select(model->index(0, 0), model->index(model->rowCount() - 1, lastColumn));
    return all;
}

void ApplyToAllRows(QAbstractItemView& rlvwItems, QItemSelectionModel::SelectionFlags flags)
{
    QItemSelectionModel* selection = rlvwItems.selectionModel();
    if (selection != nullptr)
        selection->select(AllRows(rlvwItems), flags | QItemSelectionModel::Rows);
}

} // namespace

void SelectAll(QAbstractItemView& rlvwItems)
{
    ApplyToAllRows(rlvwItems, QItemSelectionModel::Select);
}

void DeselectAll(QAbstractItemView& rlvwItems)
{
    ApplyToAllRows(rlvwItems, QItemSelectionModel::Deselect);
}

void InvertSelection(QAbstractItemView& rlvwItems)
{
    ApplyToAllRows(rlvwItems, QItemSelectionModel::Toggle);
}

int32_t IndexFromKey(const QString& vsKey)
{
    bool ok = false;
    const int32_t index = vsKey.mid(1).toInt(&ok);
    return ok ? index : 0;
}

std::vector<int32_t> DeletionOrder(const std::vector<int32_t>& vlIndices)
{
    std::vector<int32_t> order = vlIndices;
    std::sort(order.begin(), order.end(), std::greater<>());
    order.erase(std::find_if(order.begin(), order.end(), [](int32_t index) { return index < 1; }),
                order.end());
    return order;
}

// Read from the selection's ranges rather than asking row by row, which
// takes time in proportion to the rows times the ranges.
std::vector<int32_t> SelectedIndices(const QAbstractItemView& vlvwItems, int vlKeyRole)
{
    std::vector<int32_t> indices;
    const QAbstractItemModel* model = vlvwItems.model();
    const QItemSelectionModel* selection = vlvwItems.selectionModel();
    if (model == nullptr || selection == nullptr)
        return indices;
    const int rows = model->rowCount();
    const int lastColumn = model->columnCount() - 1;
    std::vector<bool> selected(static_cast<size_t>(std::max(rows, 0)), false);
    for (const QItemSelectionRange& range : selection->selection()) {
        if (range.parent().isValid() || range.left() > 0 || range.right() < lastColumn)
            continue;
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), rows - 1); ++row)
            selected[static_cast<size_t>(row)] = true;
    }
    for (int row = 0; row < rows; ++row) {
        if (selected[static_cast<size_t>(row)])
            indices.push_back(IndexFromKey(model->index(row, 0).data(vlKeyRole).toString()));
    }
    return indices;
}

int32_t CurrentIndex(const QAbstractItemView& vlvwItems, int vlKeyRole)
{
    const QModelIndex current = vlvwItems.currentIndex();
    const QItemSelectionModel* selection = vlvwItems.selectionModel();
    if (!current.isValid() || selection == nullptr || !selection->isSelected(current))
        return 0;
    return IndexFromKey(current.siblingAtColumn(0).data(vlKeyRole).toString());
}

bool DeleteFortunes(const CArchiveObject& roFortune, const std::vector<int32_t>& vlIndices)
{
    if (!roFortune)
        return false;
    const std::vector<int32_t> order = DeletionOrder(vlIndices);
    if (order.empty() || roFortune.DeleteMany(order))
        return true;
    for (const int32_t index : order) {
        // A failed deletion (logged by the archive) is passed over; the
        // others still go.
        try {
            roFortune.Delete(index);
        } catch (const EditorError&) {
        }
    }
    return false;
}

} // namespace modSelection

#pragma once

#include "editor/support/CArchiveObject.h"

#include <cstdint>
#include <QString>
#include <vector>

class QAbstractItemView;

namespace modSelection {

// The selection of a fortune list lives only in the list's selection flags.
void SelectAll(QAbstractItemView& rlvwItems);
void DeselectAll(QAbstractItemView& rlvwItems);
void InvertSelection(QAbstractItemView& rlvwItems);

// Fortune index of a list row key: "I" followed by the decimal index.
// Anything that is not such a key gives 0, which no fortune has.
int32_t IndexFromKey(const QString& vsKey);

// The order in which recorded fortunes are deleted: always the highest index
// not yet done, so that no deletion moves a fortune still to be deleted.
// Entries below 1 end the run.
std::vector<int32_t> DeletionOrder(const std::vector<int32_t>& vlIndices);

// Fortune indices of the selected rows in list order; keyRole holds each
// row's key.
std::vector<int32_t> SelectedIndices(const QAbstractItemView& vlvwItems, int vlKeyRole);

// Fortune index of the list's current row (its focused, selected row);
// 0 when there is none.
int32_t CurrentIndex(const QAbstractItemView& vlvwItems, int vlKeyRole);

// Deletes the fortunes in DeletionOrder with one batch call. Should that
// fail, one Delete call each; a failing call is skipped and the
// others still run. True when the batch call deleted them all (or there were
// none to delete).
bool DeleteFortunes(const CArchiveObject& roFortune, const std::vector<int32_t>& vlIndices);

} // namespace modSelection

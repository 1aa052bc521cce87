#pragma once

#include "component/IFortune.h"
#include "runtime/com/BString.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace modFortuneBatch {

// Called for a text the archive did not take: its position in the batch and
// the result of its Add. Returns whether to go on with the texts after it.
using FailedAdd = std::function<bool(size_t position, HRESULT hr)>;

// Appends `texts` in order with one batch call. When the batch is refused as
// a whole (a text that cannot be stored, a failed write), the texts are added
// again one Add each, so that exactly the texts single adds would take are
// taken and each failure is reported as before. Returns how many calls
// succeeded (the whole batch counts as all of its texts).
size_t AppendFortunes(IFortune& roFortune, const std::vector<BString>& vasTexts,
                      const FailedAdd& onFailedAdd);

// Deletes the fortunes at `vlIndices` (numbered as before the call) with one
// batch call; true when it succeeded. The archive is unchanged otherwise.
bool DeleteFortunes(IFortune& roFortune, const std::vector<int32_t>& vlIndices);

} // namespace modFortuneBatch

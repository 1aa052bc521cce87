#pragma once

#include "editor/support/CArchiveObject.h"
#include "editor/support/CUndoStep.h"

// Takes a recorded step back or makes it again on the archive it was made
// on, each in one write, all or nothing. The archive must be exactly as the
// step, or its undoing, left it. False, logged, when the write failed.
namespace modUndoWrite {

bool Undo(const CArchiveObject& archive, const CUndoStep& step);
bool Redo(const CArchiveObject& archive, const CUndoStep& step);

} // namespace modUndoWrite

#pragma once

#include "editor/support/CFileState.h"
#include "editor/support/CUndoStep.h"

#include <cstddef>
#include <deque>
#include <QString>
#include <vector>

// The steps a window can undo and redo on its open archive, and the state the
// last of them left the archive's file in. The texts it holds stay within a
// bound: the oldest steps go first.
class CUndoHistory final {
public:
    static constexpr size_t kDefaultBound = size_t{64} << 20;

    explicit CUndoHistory(size_t bound = kDefaultBound) : mBound(bound) {}

    // Adds a step that changed the file from state `before` to `after`. The
    // steps to redo go. When the file was not as the history left it, the
    // older steps no longer apply and go too.
    void Record(CUndoStep step, const CFileState& before, const CFileState& after);
    void Clear();

    // The step Undo or Redo would take; null when there is none.
    const CUndoStep* NextUndo() const { return mUndo.empty() ? nullptr : &mUndo.back(); }
    const CUndoStep* NextRedo() const { return mRedo.empty() ? nullptr : &mRedo.back(); }
    // Whether the file is still exactly as the last step, undo or redo left it.
    bool Matches(const CFileState& now) const { return now == mState; }
    // NextUndo was taken back, or NextRedo made again, leaving the file `now`.
    void Undone(const CFileState& now);
    void Redone(const CFileState& now);

    // The Edit menu's captions: "&Undo Delete", or "&Undo" with nothing to undo.
    QString UndoCaption() const;
    QString RedoCaption() const;

    size_t Bytes() const { return mBytes; }
    size_t Steps() const { return mUndo.size() + mRedo.size(); }

private:
    std::deque<CUndoStep> mUndo;  // oldest first
    std::vector<CUndoStep> mRedo; // next to redo last
    size_t mBytes = 0;
    size_t mBound;
    CFileState mState; // none while empty
};

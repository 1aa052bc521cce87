#include "editor/support/CUndoHistory.h"

#include <utility>

void CUndoHistory::Record(CUndoStep step, const CFileState& before, const CFileState& after)
{
    if (!Matches(before))
        Clear();
    for (const CUndoStep& dropped : mRedo)
        mBytes -= dropped.Bytes();
    mRedo.clear();
    mBytes += step.Bytes();
    mUndo.push_back(std::move(step));
    while (mBytes > mBound && !mUndo.empty()) {
        mBytes -= mUndo.front().Bytes();
        mUndo.pop_front();
    }
    mState = mUndo.empty() ? CFileState() : after;
}

void CUndoHistory::Clear()
{
    mUndo.clear();
    mRedo.clear();
    mBytes = 0;
    mState = CFileState();
}

namespace {

QString Caption(const QString& command, const CUndoStep* step)
{
    return step ? command + u' ' + step->name : command;
}

// Moves the last step of `from` to the end of `to`; false when there is none.
template <typename From, typename To> bool MoveLast(From& from, To& to)
{
    if (from.empty())
        return false;
    to.push_back(std::move(from.back()));
    from.pop_back();
    return true;
}

} // namespace

void CUndoHistory::Undone(const CFileState& now)
{
    if (MoveLast(mUndo, mRedo))
        mState = now;
}

void CUndoHistory::Redone(const CFileState& now)
{
    if (MoveLast(mRedo, mUndo))
        mState = now;
}

QString CUndoHistory::UndoCaption() const
{
    return Caption(QStringLiteral("&Undo"), NextUndo());
}

QString CUndoHistory::RedoCaption() const
{
    return Caption(QStringLiteral("&Redo"), NextRedo());
}

#include "editor/editing/CUndoRecorder.h"

#include "editor/editing/modSelection.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <algorithm>
#include <utility>

CUndoRecorder::CUndoRecorder(CArchiveWindow& window) : mWindow(window)
{
    const CArchiveObject& archive = mWindow.CurrentArchive();
    if (!archive)
        return;
    try {
        mPath = mWindow.ArchivePath(mWindow.CurrentArchiveName());
        mBefore = CFileState::Of(mPath);
        mCount = archive.Count();
    } catch (const EditorError&) {
        return; // logged by the archive
    }
    for (const int32_t index :
         modSelection::SelectedIndices(mWindow.FortuneList(), mWindow.KeyRole())) {
        if (index > 0)
            mSelected.push_back(index);
    }
    mCurrent = modSelection::CurrentIndex(mWindow.FortuneList(), mWindow.KeyRole());
    mbActive = true;
}

void CUndoRecorder::KeepTexts(const std::vector<int32_t>& indices)
{
    if (!mbActive)
        return;
    mKept.clear();
    for (const int32_t index : indices) {
        if (index >= 1 && index <= mCount)
            mKept.push_back(index);
    }
    std::sort(mKept.begin(), mKept.end());
    mKept.erase(std::unique(mKept.begin(), mKept.end()), mKept.end());
    try {
        const ComPtr<IFortuneSnapshot> snapshot = mWindow.CurrentArchive().Snapshot();
        mKeptTexts.reserve(mKept.size());
        for (const int32_t index : mKept)
            mKeptTexts.push_back(CArchiveObject::StoredItem(*snapshot.get(), index));
    } catch (const EditorError&) {
        Abandon(); // logged by the archive
    }
}

void CUndoRecorder::Appended(const QString& name)
{
    if (!mbActive)
        return;
    CUndoStep step{name, CUndoStep::Kind::Inserted};
    try {
        const ComPtr<IFortuneSnapshot> snapshot = mWindow.CurrentArchive().Snapshot();
        const int32_t count = CArchiveObject::Count(*snapshot.get());
        for (int32_t index = mCount + 1; index <= count; ++index) {
            step.indexes.push_back(index);
            step.texts.push_back(CArchiveObject::StoredItem(*snapshot.get(), index));
        }
    } catch (const EditorError&) {
        return Lost();
    }
    if (!step.indexes.empty())
        Record(std::move(step));
}

void CUndoRecorder::Deleted(const QString& name)
{
    if (!mbActive || mKept.empty())
        return;
    Record({name, CUndoStep::Kind::Deleted, std::move(mKept), std::move(mKeptTexts)});
}

void CUndoRecorder::Replaced()
{
    if (!mbActive || mKept.size() != 1)
        return;
    const int32_t index = mKept.front();
    RecordIfChanged(QStringLiteral("Edit"), CUndoStep::Kind::Replaced, {index},
                    [index](IFortuneSnapshot& snapshot) {
                        return CArchiveObject::StoredItem(snapshot, index);
                    });
}

void CUndoRecorder::KeepHeader()
{
    if (!mbActive)
        return;
    try {
        mKeptTexts = {CArchiveObject::StoredHeader(*mWindow.CurrentArchive().Snapshot().get())};
    } catch (const EditorError&) {
        Abandon(); // logged by the archive
    }
}

void CUndoRecorder::HeaderChanged()
{
    RecordIfChanged(
        QStringLiteral("Header"), CUndoStep::Kind::Header, {},
        [](IFortuneSnapshot& snapshot) { return CArchiveObject::StoredHeader(snapshot); });
}

// The one kept text, read again after the change: a step when it changed.
void CUndoRecorder::RecordIfChanged(const QString& name, CUndoStep::Kind kind,
                                    std::vector<int32_t> indexes,
                                    const std::function<BString(IFortuneSnapshot&)>& read)
{
    if (!mbActive || mKeptTexts.size() != 1)
        return;
    try {
        BString after = read(*mWindow.CurrentArchive().Snapshot().get());
        if (after.view() != mKeptTexts.front().view())
            Record({name,
                    kind,
                    std::move(indexes),
                    {std::move(mKeptTexts.front()), std::move(after)}});
    } catch (const EditorError&) {
        Lost();
    }
}

// The change goes unrecorded, which ends the history before it.
void CUndoRecorder::Abandon()
{
    mWindow.History().Clear();
    mbActive = false;
}

void CUndoRecorder::Lost()
{
    if (!mbActive || CFileState::Of(mPath) == mBefore)
        return;
    qCInfo(lcEditor) << "a change to" << mPath << "could not be recorded; the undo history ends";
    mWindow.History().Clear();
}

void CUndoRecorder::Record(CUndoStep step)
{
    step.selected = std::move(mSelected);
    step.current = mCurrent;
    mWindow.History().Record(std::move(step), mBefore, CFileState::Of(mPath));
    mbActive = false;
}

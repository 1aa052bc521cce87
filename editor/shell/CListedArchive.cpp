#include "editor/shell/CListedArchive.h"

#include "editor/shell/CFortuneListModel.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <algorithm>
#include <utility>

namespace {

// Appends the texts of fortunes first to last of the snapshot; on a failing
// call the texts read before it stay appended.
void AppendTexts(IFortuneSnapshot& snapshot, int32_t first, int32_t last, QList<QString>& texts)
{
    for (int32_t i = first; i <= last; ++i)
        texts.append(CArchiveObject::ToQString(CArchiveObject::Item(snapshot, i)));
}

} // namespace

void CListedArchive::Forget()
{
    mState = {};
    mRows.Clear();
}

void CListedArchive::Fill(IFortuneSnapshot& snapshot, const CFileState& read)
{
    int32_t count = 0;
    try {
        count = CArchiveObject::Count(snapshot);
    } catch (const EditorError&) {
        // Logged by the archive; the list stays empty.
    }
    QList<QString> texts;
    texts.reserve(count > 0 ? count : 0);
    try {
        AppendTexts(snapshot, 1, count, texts);
    } catch (...) {
        mRows.SetRows(std::move(texts));
        throw;
    }
    mRows.SetRows(std::move(texts));
    mState = read;
}

ListMark CListedArchive::Mark(const QString& path) const
{
    return {CFileState::Of(path) == mState, mRows.FortuneCount()};
}

bool CListedArchive::FollowAppended(const CArchiveObject& archive, const QString& path,
                                    const ListMark& before, const QList<QString>& rows)
{
    if (!HoldsOnly(archive, path, before, before.rows + rows.size()))
        return false;
    mRows.Append(rows, false);
    return true;
}

bool CListedArchive::FollowDeleted(const CArchiveObject& archive, const QString& path,
                                   const ListMark& before, const std::vector<int32_t>& indices)
{
    const std::optional<std::vector<bool>> gone = CFortuneListModel::Marked(indices, before.rows);
    if (!gone || !HoldsOnly(archive, path, before,
                            before.rows - std::count(gone->begin(), gone->end(), true)))
        return false;
    mRows.Remove(*gone);
    return true;
}

bool CListedArchive::FollowInserted(const CArchiveObject& archive, const QString& path,
                                    const ListMark& before, const std::vector<int32_t>& indices)
{
    const qsizetype rows = before.rows + static_cast<qsizetype>(indices.size());
    if (!HoldsOnly(archive, path, before, rows))
        return false;
    QList<QString> texts;
    texts.reserve(static_cast<qsizetype>(indices.size()));
    try {
        const ComPtr<IFortuneSnapshot> snapshot = archive.Snapshot();
        if (CArchiveObject::Count(*snapshot.get()) != rows)
            return false;
        for (const int32_t index : indices)
            texts.append(CArchiveObject::ToQString(CArchiveObject::Item(*snapshot.get(), index)));
    } catch (const EditorError&) {
        return false; // logged by the archive
    }
    return mRows.Insert(indices, texts);
}

// The whole texts are read while the file is still the one the list shows.
bool CListedArchive::CompleteTexts(const CArchiveObject& archive, const QString& path)
{
    if (mRows.WholeCount() == mRows.FortuneCount())
        return true;
    if (!archive || path.isEmpty() || CFileState::Of(path) != mState)
        return false;
    const std::optional<QList<QString>> texts =
        ReadTexts(archive, mRows.WholeCount() + 1, mRows.FortuneCount() - mRows.WholeCount());
    if (!texts)
        return false;
    mRows.CompleteTexts(*texts);
    return true;
}

// The archive's file now holds the list as it was at the mark and this
// window's change, nothing else: the mark was exact, the file is still there
// and the archive counts `rows` fortunes. The file's state is taken before
// the count, so a change made after it makes the next mark inexact.
bool CListedArchive::HoldsOnly(const CArchiveObject& archive, const QString& path,
                               const ListMark& before, qsizetype rows)
{
    if (!before.exact || !archive || before.rows != mRows.FortuneCount() || path.isEmpty())
        return false;
    const CFileState state = CFileState::Of(path);
    try {
        if (archive.Count() != rows)
            return false;
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "the archive cannot be counted:" << DescribeFailure(error);
        return false;
    }
    mState = state;
    return true;
}

// The texts of `count` fortunes from index `first` on, read with one check of
// the file; nothing when the archive then holds other than those up to them.
std::optional<QList<QString>> CListedArchive::ReadTexts(const CArchiveObject& archive,
                                                        int32_t first, qsizetype count)
{
    QList<QString> texts;
    texts.reserve(count);
    try {
        const ComPtr<IFortuneSnapshot> snapshot = archive.Snapshot();
        if (CArchiveObject::Count(*snapshot.get()) != first - 1 + count)
            return std::nullopt;
        AppendTexts(*snapshot.get(), first, first - 1 + static_cast<int32_t>(count), texts);
    } catch (const EditorError&) {
        return std::nullopt; // logged by the archive
    }
    return texts;
}

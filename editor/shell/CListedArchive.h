#pragma once

#include "editor/support/CArchiveObject.h"
#include "editor/support/CFileState.h"
#include "editor/support/ListMark.h"

#include <cstdint>
#include <optional>
#include <QList>
#include <QString>
#include <vector>

class CFortuneListModel;

// The fortunes the list shows of the open archive and the state of the file
// they were read from. After this window's own change the list follows by
// its own rows, provided the file then holds just that change; otherwise the
// caller reads the archive afresh.
class CListedArchive final {
public:
    explicit CListedArchive(CFortuneListModel& rows) : mRows(rows) {}

    // The list no longer matches any state of the file.
    void Forget();
    // Lists the snapshot's fortunes, read from the file as it was in `read`.
    // Rows read before a failing call stay listed, as they would had they
    // been added one by one.
    void Fill(IFortuneSnapshot& snapshot, const CFileState& read);

    ListMark Mark(const QString& path) const;

    // Each is false when the list cannot follow the change. `path` is empty
    // when the archive's file is gone.
    bool FollowAppended(const CArchiveObject& archive, const QString& path, const ListMark& before,
                        const QList<QString>& rows);
    bool FollowDeleted(const CArchiveObject& archive, const QString& path, const ListMark& before,
                       const std::vector<int32_t>& indices);
    // The fortunes now at `indices` (ascending) were put in: their texts are
    // read with one look at the file.
    bool FollowInserted(const CArchiveObject& archive, const QString& path, const ListMark& before,
                        const std::vector<int32_t>& indices);
    // Reads the whole texts of the fortunes the list holds by their rows.
    bool CompleteTexts(const CArchiveObject& archive, const QString& path);

private:
    bool HoldsOnly(const CArchiveObject& archive, const QString& path, const ListMark& before,
                   qsizetype rows);
    static std::optional<QList<QString>> ReadTexts(const CArchiveObject& archive, int32_t first,
                                                   qsizetype count);

    CFortuneListModel& mRows;
    CFileState mState; // none when unknown
};

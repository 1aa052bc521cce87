#pragma once

#include "editor/support/CFileState.h"
#include "editor/support/CUndoStep.h"

#include <cstdint>
#include <functional>
#include <QString>
#include <vector>

class CArchiveWindow;
struct IFortuneSnapshot;

// Records one change a command makes to the window's open archive as a step
// of its undo history. Made just before the change, it takes the file's
// state, the fortune count and the list's selection; after the change one of
// its calls records the step. A recorder made with no archive open records
// nothing. Reading failures are logged and end the history, never the command.
class CUndoRecorder final {
public:
    explicit CUndoRecorder(CArchiveWindow& window);

    // Before deleting or replacing: the stored texts of the fortunes at
    // `indices`.
    void KeepTexts(const std::vector<int32_t>& indices);
    // The fortunes appended since, read back as the archive stores them.
    void Appended(const QString& name);
    // The fortunes KeepTexts took are gone.
    void Deleted(const QString& name);
    // Before replacing the header: its stored text.
    void KeepHeader();
    // The one fortune KeepTexts took, or the header KeepHeader took, was
    // replaced.
    void Replaced();
    void HeaderChanged();
    // The change failed or cannot be told exactly: unless the file is as it
    // was, no step of the history applies any more.
    void Lost();

private:
    void RecordIfChanged(const QString& name, CUndoStep::Kind kind, std::vector<int32_t> indexes,
                         const std::function<BString(IFortuneSnapshot&)>& read);
    void Abandon();
    void Record(CUndoStep step);

    CArchiveWindow& mWindow;
    bool mbActive = false;
    QString mPath;
    CFileState mBefore;
    int32_t mCount = 0;
    std::vector<int32_t> mSelected;
    int32_t mCurrent = 0;
    std::vector<int32_t> mKept;
    std::vector<BString> mKeptTexts;
};

#include "editor/editing/CUndoCommands.h"

#include "desktop/Prompts.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/modUndoWrite.h"

#include <vector>

using namespace zrv::desktop;

void CUndoCommands::Undo() const
{
    Take(true);
}

void CUndoCommands::Redo() const
{
    Take(false);
}

// Nothing is written unless the file is exactly as the history left it;
// otherwise the history ends and the list shows the file as it now is.
void CUndoCommands::Take(bool undo) const
{
    const CArchiveObject archive = mWindow.CurrentArchive();
    CUndoHistory& history = mWindow.History();
    const CUndoStep* step = undo ? history.NextUndo() : history.NextRedo();
    if (!archive || step == nullptr)
        return;
    const QString name = mWindow.CurrentArchiveName();
    if (!mWindow.ArchiveExists(name))
        return;
    const QString path = mWindow.ArchivePath(name);
    const QString title = undo ? QStringLiteral("Undo") : QStringLiteral("Redo");
    if (!history.Matches(CFileState::Of(path))) {
        history.Clear();
        mWindow.OpenArchive(name);
        MsgBox(QStringLiteral("The archive was changed outside this window; its changes can no "
                              "longer be undone."),
               vbOKOnly | vbExclamation, title, mWindow.Owner());
        return;
    }
    const ListMark before = mWindow.MarkList();
    if (!(undo ? modUndoWrite::Undo(archive, *step) : modUndoWrite::Redo(archive, *step))) {
        if (!history.Matches(CFileState::Of(path)))
            history.Clear();
        mWindow.OpenArchive(name);
        MsgBox(QStringLiteral("The archive could not be written; nothing was changed."),
               vbOKOnly | vbExclamation, title, mWindow.Owner());
        return;
    }
    const CUndoStep::Kind kind = step->kind;
    const bool inserted = (kind == CUndoStep::Kind::Inserted) != undo;
    const std::vector<int32_t> indexes = step->indexes;
    const std::vector<int32_t> selected = undo ? step->selected : std::vector<int32_t>();
    const int32_t current = undo ? step->current : 0;
    const CFileState now = CFileState::Of(path);
    if (undo)
        history.Undone(now);
    else
        history.Redone(now);
    Show(kind, inserted, before, indexes);
    mWindow.SelectFortunes(selected, current);
}

// The list follows the step's fortunes by its own rows where it can.
void CUndoCommands::Show(CUndoStep::Kind kind, bool inserted, const ListMark& before,
                         const std::vector<int32_t>& indexes) const
{
    switch (kind) {
    case CUndoStep::Kind::Inserted:
    case CUndoStep::Kind::Deleted:
        if (inserted)
            mWindow.ShowInserted(before, indexes);
        else
            mWindow.ShowDeleted(before, indexes);
        return;
    case CUndoStep::Kind::Replaced:
        mWindow.OpenArchive(mWindow.CurrentArchiveName());
        return;
    case CUndoStep::Kind::Header:
        mWindow.ShowHeader();
        return;
    }
}

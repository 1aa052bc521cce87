#include "editor/editing/CFortuneCommands.h"

#include "desktop/Prompts.h"
#include "editor/editing/CUndoRecorder.h"
#include "editor/editing/modForms.h"
#include "editor/editing/modSelection.h"
#include "editor/support/CArchiveWindow.h"

using namespace zrv::desktop;

bool CFortuneCommands::ArchiveAvailable() const
{
    return mWindow.CurrentArchive() && mWindow.ArchiveExists(mWindow.CurrentArchiveName());
}

int32_t CFortuneCommands::CurrentIndex() const
{
    return modSelection::CurrentIndex(mWindow.FortuneList(), mWindow.KeyRole());
}

void CFortuneCommands::AddFortune() const
{
    if (!ArchiveAvailable())
        return;
    if (ShowFortune(true, true, mWindow.CurrentArchive(), 0, mWindow.Owner(), &mWindow))
        mWindow.OpenArchive(mWindow.CurrentArchiveName());
}

void CFortuneCommands::EditFortune() const
{
    ShowCurrentFortune(true);
}

void CFortuneCommands::ViewFortune() const
{
    ShowCurrentFortune(false);
}

// Edit and View work on the list's current row.
void CFortuneCommands::ShowCurrentFortune(bool vbRW) const
{
    if (!ArchiveAvailable())
        return;
    const int32_t index = CurrentIndex();
    if (index == 0)
        return;
    if (ShowFortune(vbRW, false, mWindow.CurrentArchive(), index, mWindow.Owner(), &mWindow))
        mWindow.OpenArchive(mWindow.CurrentArchiveName());
}

void CFortuneCommands::EditHeader() const
{
    const CArchiveObject& archive = mWindow.CurrentArchive();
    if (!archive)
        return;
    if (ShowHeader(archive, mWindow.Owner(), &mWindow))
        mWindow.ShowHeader();
}

void CFortuneCommands::SelectAll() const
{
    modSelection::SelectAll(mWindow.FortuneList());
    mWindow.RefreshSelectionStatus();
}

void CFortuneCommands::InvertSelection() const
{
    modSelection::InvertSelection(mWindow.FortuneList());
    mWindow.RefreshSelectionStatus();
}

void CFortuneCommands::DeselectAll() const
{
    modSelection::DeselectAll(mWindow.FortuneList());
    mWindow.RefreshSelectionStatus();
}

void CFortuneCommands::DeleteSelectedFortunes(const QString& step) const
{
    if (!ArchiveAvailable())
        return;
    const int answer = MsgBox(
        QStringLiteral("Are you sure that you wish to delete the selected fortunes?"),
        vbYesNo | vbQuestion | vbDefaultButton1, QStringLiteral("Confirm Delete"), mWindow.Owner());
    if (answer != vbYes)
        return;
    const ListMark before = mWindow.MarkList();
    const std::vector<int32_t> indices =
        modSelection::SelectedIndices(mWindow.FortuneList(), mWindow.KeyRole());
    CUndoRecorder recorder(mWindow);
    recorder.KeepTexts(indices);
    if (modSelection::DeleteFortunes(mWindow.CurrentArchive(), indices)) {
        recorder.Deleted(step);
        mWindow.ShowDeleted(before, indices);
    } else {
        recorder.Lost();
        mWindow.OpenArchive(mWindow.CurrentArchiveName());
    }
}

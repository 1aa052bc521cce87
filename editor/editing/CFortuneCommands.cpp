#include "editor/editing/CFortuneCommands.h"

#include "desktop/Prompts.h"
#include "editor/editing/modForms.h"
#include "editor/editing/modSelection.h"

#include <utility>

using namespace zrv::desktop;

CFortuneCommands::CFortuneCommands(Window window) : mWindow(std::move(window)) {}

bool CFortuneCommands::ArchiveAvailable() const
{
    return mWindow.fortune() != nullptr && mWindow.stillExists();
}

int32_t CFortuneCommands::CurrentIndex() const
{
    return modSelection::CurrentIndex(*mWindow.list, mWindow.keyRole);
}

void CFortuneCommands::AddFortune() const
{
    if (!ArchiveAvailable())
        return;
    if (ShowFortune(true, true, mWindow.fortune(), 0, mWindow.owner))
        mWindow.reload();
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
    if (ShowFortune(vbRW, false, mWindow.fortune(), index, mWindow.owner))
        mWindow.reload();
}

void CFortuneCommands::EditHeader() const
{
    IFortune* const fortune = mWindow.fortune();
    if (fortune == nullptr)
        return;
    if (ShowHeader(fortune, mWindow.owner))
        mWindow.headerChanged();
}

void CFortuneCommands::SelectAll() const
{
    modSelection::SelectAll(*mWindow.list);
    mWindow.selectionChanged();
}

void CFortuneCommands::InvertSelection() const
{
    modSelection::InvertSelection(*mWindow.list);
    mWindow.selectionChanged();
}

void CFortuneCommands::DeselectAll() const
{
    modSelection::DeselectAll(*mWindow.list);
    mWindow.selectionChanged();
}

void CFortuneCommands::DeleteSelectedFortunes() const
{
    if (!ArchiveAvailable())
        return;
    const int answer = MsgBox(
        QStringLiteral("Are you sure that you wish to delete the selected fortunes?"),
        vbYesNo | vbQuestion | vbDefaultButton1, QStringLiteral("Confirm Delete"), mWindow.owner);
    if (answer != vbYes)
        return;
    const ListMark before = mWindow.mark();
    const std::vector<int32_t> indices =
        modSelection::SelectedIndices(*mWindow.list, mWindow.keyRole);
    if (modSelection::DeleteFortunes(mWindow.fortune(), indices))
        mWindow.deleted(before, indices);
    else
        mWindow.reload();
}

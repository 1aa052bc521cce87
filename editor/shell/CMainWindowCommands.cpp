#include "editor/shell/CMainWindowCommands.h"

#include "editor/shell/frmMain.h"
#include "editor/support/modForms.h"

using CommandState::Rule;

CMainWindowCommands::CMainWindowCommands(frmMain& window, CArchiveWindow& context)
    : QObject(&window), mWindow(window), mArchives(context), mFortunes(context),
      mClipboard(context, mFortunes), mUndo(context), mSheets(context)
{
    setObjectName(QStringLiteral("frmMainCommands"));
}

std::vector<CommandRow> CMainWindowCommands::Install(frmMain& window)
{
    auto* commands = new CMainWindowCommands(window, window);
    return commands->CommandTable();
}

CMainWindowCommands* CMainWindowCommands::Of(const QWidget& window)
{
    return window.findChild<CMainWindowCommands*>(QString(), Qt::FindDirectChildrenOnly);
}

// One row per command, in menu order; the toolbar shows the rows with a
// button in the same order. Exit lets the spreadsheet object go before the
// window ends the process.
std::vector<CommandRow> CMainWindowCommands::CommandTable()
{
    const auto archives = [this] { return &mArchives; };
    const auto fortunes = [this] { return &mFortunes; };
    const auto clipboard = [this] { return &mClipboard; };
    const auto sheets = [this] { return &mSheets; };
    return {
        {"mnuFile", "mnuFileNew", "&New Archive", "Ctrl+N", Rule::Always,
         [=] { archives()->NewArchive(); }, "New", 1},
        {"mnuFile", "mnuFileOpen", "&Open Archive", "Ctrl+O", Rule::Always,
         [=] { archives()->OpenCommand(); }, "Open", 2},
        {"mnuFile", "mnuFileDuplicate", "&Duplicate Archive", "", Rule::Archive,
         [=] { archives()->DuplicateArchive(); }},
        CommandRow::Separator("mnuFile", "mnuFileSep1"),
        {"mnuFile", "mnuFileDelete", "De&lete Archive", "", Rule::Archive,
         [=] { archives()->DeleteArchive(); }},
        CommandRow::Separator("mnuFile", "mnuFileSep2"),
        {"mnuFile", "mnuFileClose", "&Close Archive", "", Rule::Archive,
         [this] { mWindow.CloseArchive(); }},
        CommandRow::Separator("mnuFile", "mnuFileSep3"),
        {"mnuFile", "mnuFileExit", "E&xit", "", Rule::Always,
         [this] {
             mSheets.ReleaseSpreadsheet();
             mWindow.ExitCommand();
         }},
        {"mnuEdit", "mnuEditUndo", "&Undo", "Ctrl+Z", Rule::Undo, [this] { mUndo.Undo(); }},
        {"mnuEdit", "mnuEditRedo", "&Redo", "Ctrl+Y; Ctrl+Shift+Z", Rule::Redo,
         [this] { mUndo.Redo(); }},
        CommandRow::Separator("mnuEdit", "mnuEditSep0"),
        {"mnuEdit", "mnuEditSelectAll", "&Select All", "Ctrl+A", Rule::Archive,
         [=] { fortunes()->SelectAll(); }},
        {"mnuEdit", "mnuEditInvertSelection", "&Invert Selection", "", Rule::Archive,
         [=] { fortunes()->InvertSelection(); }},
        {"mnuEdit", "mnuEditDeselectAll", "&Deselect All", "", Rule::Archive,
         [=] { fortunes()->DeselectAll(); }},
        CommandRow::Separator("mnuEdit", "mnuEditSep1"),
        {"mnuEdit", "mnuEditCut", "&Cut", "Ctrl+X", Rule::Selected, [=] { clipboard()->Cut(); },
         "Cut", 3, true},
        {"mnuEdit", "mnuEditCopy", "C&opy", "Ctrl+C", Rule::Selected, [=] { clipboard()->Copy(); },
         "Copy", 4},
        {"mnuEdit", "mnuEditPaste", "&Paste", "Ctrl+V", Rule::ArchiveClip,
         [=] { clipboard()->Paste(); }, "Paste", 5},
        CommandRow::Separator("mnuEdit", "mnuEditSep2"),
        {"mnuEdit", "mnuEditArchiveHeader", "&Archive Header", "", Rule::Archive,
         [=] { fortunes()->EditHeader(); }},
        CommandRow::Separator("mnuEdit", "mnuEditSep3"),
        {"mnuEdit", "mnuEditFind", "&Find...", "Ctrl+F", Rule::Archive,
         [this] { mWindow.FindCommand(); }},
        {"mnuActions", "mnuActionsAdd", "&Add", "Ctrl+Ins", Rule::Archive,
         [=] { fortunes()->AddFortune(); }, "Add", 6, true},
        {"mnuActions", "mnuActionsEdit", "&Edit", "Ctrl+E", Rule::ArchiveRows,
         [=] { fortunes()->EditFortune(); }, "Edit", 7},
        {"mnuActions", "mnuActionsDelete", "&Delete", "Ctrl+D", Rule::ArchiveRows,
         [=] { fortunes()->DeleteSelectedFortunes(); }, "Delete", 8},
        {"mnuActions", "mnuActionsView", "&View", "Ctrl+L", Rule::ArchiveRows,
         [=] { fortunes()->ViewFortune(); }, "View", 9},
        CommandRow::Separator("mnuActions", "mnuActionsSep1"),
        {"mnuActions", "mnuActionsExport", "E&xport", "", Rule::ArchiveRowsSpreadsheet,
         [=] { sheets()->ExportToExcel(); }, "Export", 10, true},
        {"mnuActions", "mnuActionsImport", "&Import", "", Rule::ArchiveSpreadsheet,
         [=] { sheets()->ImportFromExcel(); }, "Import", 11},
        {"mnuOptions", "mnuOptionsDisplayToolbar", "Display &Toolbar", "", Rule::Always,
         [this] { mWindow.DisplayToolbarCommand(); }},
        {"mnuHelp", "mnuHelpContents", "Contents", "F1", Rule::Always,
         [this] { ShowUserGuide(mWindow.hWnd()); }},
        {"mnuHelp", "mnuHelpHome", "ZorvaFortune Homepage", "F2", Rule::Always,
         [this] { ShowHomePage(mWindow.hWnd()); }},
        CommandRow::Separator("mnuHelp", "mnuHelpSep1"),
        {"mnuHelp", "mnuHelpAbout", "&About ...", "", Rule::Always,
         [this] { ShowAbout(&mWindow); }},
    };
}

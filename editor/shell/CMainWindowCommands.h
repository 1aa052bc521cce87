#pragma once

#include "editor/archives/CArchiveCommands.h"
#include "editor/archives/CExcelCommands.h"
#include "editor/editing/CClipboardCommands.h"
#include "editor/editing/CFortuneCommands.h"
#include "editor/editing/CUndoCommands.h"
#include "editor/shell/CMainCommands.h"

#include <QObject>
#include <vector>

class CArchiveWindow;
class frmMain;
class QWidget;

// The commands of one main window and the table that routes its menu items
// and toolbar buttons to them. They belong to the window (a child object of
// it) and reach it as their CArchiveWindow; the window knows only the table.
class CMainWindowCommands final : public QObject {
    Q_OBJECT
public:
    // Gives the window its commands; frmMain's constructor takes this.
    static std::vector<CommandRow> Install(frmMain& window);
    // The commands of the window; null when it has none.
    static CMainWindowCommands* Of(const QWidget& window);

    // They hold the window's spreadsheet object.
    CExcelCommands& ExcelCommands() { return mSheets; }

private:
    CMainWindowCommands(frmMain& window, CArchiveWindow& context);
    std::vector<CommandRow> CommandTable();

    frmMain& mWindow;
    const CArchiveCommands mArchives;
    const CFortuneCommands mFortunes;
    const CClipboardCommands mClipboard;
    const CUndoCommands mUndo;
    CExcelCommands mSheets;
};

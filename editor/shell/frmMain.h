#pragma once

#include "desktop/DesktopTypes.h"
#include "editor/archives/modSpreadsheet.h"
#include "editor/editing/modClipboardFortunes.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/shell/CMainControls.h"
#include "editor/shell/CommandState.h"
#include "editor/shell/CSettings.h"
#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modInstall.h"
#include "editor/support/CArchiveObject.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/CFileState.h"

#include <functional>
#include <memory>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTreeView>
#include <vector>

class CClipboardViewer;
class CListFind;
class CListedArchive;
class CMainCommands;
class CSettleTimer;
struct CommandRow;

// The editor's main window: one archive at a time, its fortune list, header
// and status bar, the menus and toolbar, and the settings it keeps. Its
// commands see it as their CArchiveWindow.
class frmMain final : public QMainWindow, private CArchiveWindow {
    Q_OBJECT
public:
    static const QString Title;
    static const QString CaptionPrefix;

    // editorFolder is the folder the program was started from; empty means
    // the executable's folder. commands gives the window the rows of its
    // menus and toolbar: CMainWindowCommands::Install.
    frmMain(const QString& editorFolder,
            const std::function<std::vector<CommandRow>(frmMain&)>& commands);
    ~frmMain() override;

    // How Exit ends the process; tests replace it. None restores the default.
    static void SetProcessEnd(std::function<void(int)> end);

    // The load sequence: settings, placement, empty window, player check.
    void Form_Load();

    zrv::desktop::HWND hWnd() const { return mhWnd; }
    QString AppPath() const override { return mAppPath; }
    bool SpreadsheetAvailable() const { return mSpreadsheetAvailable; }

    // The archive window.
    const CArchiveObject& CurrentArchive() const override { return mCurrentArchive; }
    QString CurrentArchiveName() const override;
    CArchiveObject LoadArchiveObject(const QString& name) const;
    bool ArchiveExists(const QString& name) override;
    QStringList ListArchives() const override { return ArchiveFiles::List(DataFolder()); }
    void OpenArchive(const QString& name) override;
    void CloseArchive() override;
    QTreeView* List() const { return mControls->lvwItems; }
    // The rows the list shows: every fortune, or while a find filters it the
    // matching ones.
    int32_t RowCount() const { return mControls->mRows->rowCount(); }
    int32_t FortuneCount() const { return mControls->mRows->FortuneCount(); }
    int32_t SelectedCount() const { return mControls->SelectedCount(); }
    QString RowKey(int32_t row) const { return mControls->mRows->Key(row); }
    QString RowText(int32_t row) const { return mControls->mRows->RowText(row); }
    QString PanelText(int panel) const { return mControls->PanelText(panel); }

    // The menu and toolbar commands.
    CMainCommands& Commands() const { return *mCommands; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The commands reach the window as their CArchiveWindow and run its own.
    friend class CMainWindowCommands;

    // Start-up, settings and layout.
    QString DataFolder() const override { return ArchiveFiles::PathOf(mAppPath); }
    void FindAppPath() { mAppPath = Install::FindAppPath(mEditorFolder); }
    void SetDefaultSettings();
    void LoadSettings() { mSettings.Load(); }
    void SaveSettings();
    void LayoutControls() { mControls->Layout(!mSettings.HideToolbar, !mSettings.HideHeader); }
    void ApplyPlacement();
    void Form_Resize();
    void SettleTimer_Timer();
    bool ExcelInstalled() { return modSpreadsheet::ExcelInstalled(); }

    // The archive window as its commands see it.
    QWidget* Owner() override { return this; }
    QAbstractItemView& FortuneList() override { return *mControls->lvwItems; }
    int KeyRole() const override { return CFortuneListModel::KeyRole; }
    QString ArchivePath(const QString& name) const override
    {
        return ArchiveFiles::ArchivePath(DataFolder(), name);
    }
    bool IsSafeName(const QString& name) const override { return ArchiveFiles::IsSafeName(name); }
    bool ArchiveFileExists(const QString& name) const override
    {
        return ArchiveFiles::HasArchive(DataFolder(), name);
    }
    ListMark MarkList() const override;
    void ShowAppended(const ListMark& before, const QList<QString>& rows) override;
    void ShowDeleted(const ListMark& before, const std::vector<int32_t>& indices) override;
    void ShowHeader() override;
    CUndoHistory& History() override { return mHistory; }
    void ShowInserted(const ListMark& before, const std::vector<int32_t>& indices) override;
    void SelectFortunes(const std::vector<int32_t>& selected, int32_t current) override;
    void RefreshSelectionStatus() override;
    void RefreshClipboardCommands() override;
    void RefreshArchiveStatus();
    QString CurrentArchivePath() const { return ArchivePath(CurrentArchiveName()); }
    QString ListedPath() const;
    void CompleteTexts();
    void ShowRows();
    void ShowFound();

    // Commands and their states.
    CommandState::Inputs StateInputs() const;
    void RefreshArchiveCommands();
    void ShowClipboardStatus(int32_t count);
    void DisplayToolbarCommand();
    void FindCommand();
    void ExitCommand();
    void tlbMain_OpenDropDown();
    void picLogo_Click();
    void StartClipboardWatcher();
    int32_t ClipboardFortuneCount() { return modClipboardFortunes::ClipboardFortuneCount(); }
    void moClip_ClipboardChanged();

    QString mEditorFolder;
    QString mAppPath;
    CSettings mSettings;
    bool mSpreadsheetAvailable = false;
    CArchiveObject mCurrentArchive;
    CUndoHistory mHistory; // of the open archive
    zrv::desktop::HWND mhWnd = 0;
    CSettleTimer* mSettle = nullptr;

    std::unique_ptr<CMainControls> mControls;
    std::unique_ptr<CListedArchive> mListed;
    CMainCommands* mCommands = nullptr;
    CListFind* mFind = nullptr;
    std::unique_ptr<CClipboardViewer> moClip;
};

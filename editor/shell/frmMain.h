#pragma once

#include "desktop/DesktopTypes.h"
#include "editor/editing/ListMark.h"
#include "editor/shell/CArchiveObject.h"
#include "editor/shell/CFileState.h"
#include "editor/shell/CommandState.h"
#include "editor/shell/CSettings.h"

#include <functional>
#include <memory>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <string>
#include <vector>

class CArchiveCommands;
class CExcelCommands;
class CClipboardCommands;
class CClipboardViewer;
class CFortuneCommands;
class CFortuneListModel;
class CMainCommands;
class QLabel;
class QStatusBar;
class QToolBar;
class QTreeView;

// The editor's main window: one archive at a time, its fortune list, header
// and status bar, the menus and toolbar, and the settings it keeps.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    static const QString Title;
    static const QString CaptionPrefix;

    // editorFolder is the folder the program was started from; empty means
    // the executable's folder.
    explicit frmMain(const QString& editorFolder = {});
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // The load sequence: settings, placement, empty window, player check.
    void Form_Load();

    // Start-up, settings and layout.
    const QString& AppPath() const { return mAppPath; }
    QString DataFolder() const;
    const CSettings& Settings() const { return mSettings; }
    bool SpreadsheetAvailable() const { return mSpreadsheetAvailable; }
    void FindAppPath();
    void SetDefaultSettings();
    void LoadSettings();
    void SaveSettings();
    void LayoutControls();
    int32_t CurrentWindowState() const;
    CSettings::Placement CurrentPlacement() const;

    // The archive window.
    const CArchiveObject& CurrentArchive() const { return mCurrentArchive; }
    QString CurrentArchiveName() const;
    bool ArchiveFileExists(const QString& name) const;
    CArchiveObject LoadArchiveObject(const QString& name) const;
    bool ArchiveExists(const QString& name);
    void OpenArchive(const QString& name);
    void CloseArchive();
    // The list's mark before this window changes the open archive's fortunes.
    ListMark MarkList() const;
    // The open archive after this window appended fortunes showing as `rows`,
    // or deleted those at `indices` (numbered as at the mark). When the file
    // was exactly what the list showed at the mark and now holds just that
    // change, the list is rebuilt from its own rows, the change applied;
    // otherwise, as after any change, the archive is opened again. Either way
    // the window then shows what a reload shows.
    void ShowAppended(const ListMark& before, const QList<QString>& rows);
    void ShowDeleted(const ListMark& before, const std::vector<int32_t>& indices);
    void RefreshSelectionStatus();
    void RefreshArchiveStatus();
    int32_t RowCount() const;
    int32_t SelectedCount() const;
    QString RowKey(int32_t row) const;
    QString RowText(int32_t row) const;
    QString PanelText(int panel) const;

    // Commands and their states.
    void RefreshArchiveCommands();
    void RefreshClipboardCommands();
    void DisplayToolbarCommand();
    void ExitCommand();
    void tlbMain_ButtonClick(const QString& caption);
    void tlbMain_OpenDropDown();
    void picLogo_Click();
    QStringList ListArchives() const;
    void OpenCommand();

    // Commands whose work arrives with the fortune editing, archive
    // management and spreadsheet features.
    void NewArchive();
    void DuplicateArchive();
    void DeleteArchive();
    void SelectAllCommand();
    void InvertSelectionCommand();
    void DeselectAllCommand();
    void CutCommand();
    void CopyCommand();
    void PasteCommand();
    void EditHeaderCommand();
    void AddFortuneCommand();
    void EditFortuneCommand();
    void ViewFortuneCommand();
    void DeleteSelectedFortunes();
    void ExportToExcel();
    void ImportFromExcel();
    bool ExcelInstalled();
    // Starts watching the clipboard; its changes run RefreshClipboardCommands.
    void StartClipboardWatcher();
    std::string BuildClipboardText() const;
    bool ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes);
    int32_t ClipboardFortuneCount();
    void ShowClipboardStatus(int32_t count);

    zrv::desktop::HWND hWnd() const { return mhWnd; }
    CMainCommands& Commands() const { return *mCommands; }
    CExcelCommands& ExcelCommands() const { return *mExcelCommands; }
    QTreeView* List() const { return lvwItems; }

    // How Exit ends the process; tests replace it.
    using ProcessEnd = std::function<void(int)>;
    static void SetProcessEnd(ProcessEnd end);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildList();
    void BuildStatusBar();
    void ConnectCommands();
    void BuildCommandRoutines();
    void RunMenuItem(const QString& name);
    void ApplyPlacement();
    void SetOuterHeight(int32_t twips);
    void SetOuterWidth(int32_t twips);
    void Form_Resize();
    void SaveSettingsWhenSettled();
    void SettleTimer_Timer();
    void CheckPlayerInstalled();
    void FillList(IFortuneSnapshot& snapshot);
    QString CurrentArchivePath() const;
    bool HoldsOnly(const ListMark& before, qsizetype rows);
    void ShowRows(QList<QString> rows);
    CommandState::Inputs StateInputs() const;
    void moClip_ClipboardChanged();

    QString mEditorFolder;
    QString mAppPath;
    CSettings mSettings;
    bool mSpreadsheetAvailable = false;
    CArchiveObject mCurrentArchive;
    CFileState mListedState; // of the file the list shows; none when unknown
    zrv::desktop::HWND mhWnd = 0;
    bool mLoaded = false;
    QTimer mSettleTimer;
    int mSettleSaves = 0;

    QWidget* mClient = nullptr;
    CMainCommands* mCommands = nullptr;
    std::unique_ptr<const CArchiveCommands> mArchiveCommands;
    std::unique_ptr<const CFortuneCommands> mFortuneCommands;
    std::unique_ptr<CExcelCommands> mExcelCommands;
    std::unique_ptr<const CClipboardCommands> mClipboardCommands;
    std::unique_ptr<CClipboardViewer> moClip;
    QToolBar* tlbMain = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* lblHeader = nullptr;
    QLabel* lblHeading = nullptr;
    QTreeView* lvwItems = nullptr;
    CFortuneListModel* mRows = nullptr;
    QStatusBar* stbMain = nullptr;
    QList<QLabel*> mPanels;
    QList<QPixmap> imlNormal;
    QList<QPixmap> imlDisabled;
    QList<QPixmap> imlOver;
};

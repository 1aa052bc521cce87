#include "editor/shell/frmMain.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/FramePlacement.h"
#include "desktop/Prompts.h"
#include "desktop/ShellExecute.h"
#include "desktop/WindowHandles.h"
#include "editor/archives/CArchiveCommands.h"
#include "editor/archives/CExcelCommands.h"
#include "editor/editing/CClipboardCommands.h"
#include "editor/editing/CClipboardViewer.h"
#include "editor/editing/CFortuneCommands.h"
#include "editor/editing/modFortuneRows.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainControls.h"
#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modEditorWindows.h"
#include "editor/shell/modInstall.h"
#include "editor/shell/ToolbarArt.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"
#include "editor/support/modForms.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductLinks.h"
#include "editor/support/TwipsGeometry.h"

#include <array>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTreeView>
#include <utility>

using namespace zrv::desktop;
using CommandState::Rule;
using CommandState::Setter;

const QString frmMain::Title = QStringLiteral("Zorva Fortune Editor");
const QString frmMain::CaptionPrefix = QStringLiteral("Zorva Fortune Editor - ");

namespace {

const QString kArchiveHeader = QStringLiteral(" Archive Header");

// Exit leaves the event loop at once; the program then ends as it does when
// its window closes, and the toolkit hands the clipboard's content over to a
// clipboard manager where one runs.
void EndEventLoop(int code)
{
    QCoreApplication::exit(code);
}

std::function<void(int)>& ProcessEndHook()
{
    static std::function<void(int)> end = EndEventLoop;
    return end;
}

// Runs a step; a failure ends it without a word to the user, only to the
// log, and the window goes on.
template <typename F> void RunIgnoringFailures(F&& step)
{
    try {
        std::forward<F>(step)();
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "frmMain: a step was skipped:" << DescribeFailure(error);
    } catch (const std::exception& error) {
        qCWarning(lcEditor) << "frmMain: a step was skipped:" << error.what();
    }
}

// Turns the archive's CR LF line ends into the label's line breaks.
QString DisplayText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// "No fortunes <what>", "1 fortune <what>" or "<n> fortunes <what>".
QString CountText(int32_t count, const char* what)
{
    if (count == 0)
        return QStringLiteral("No fortunes ") + QLatin1String(what);
    if (count == 1)
        return QStringLiteral("1 fortune ") + QLatin1String(what);
    return QString::number(count) + QStringLiteral(" fortunes ") + QLatin1String(what);
}

} // namespace

frmMain::frmMain(const QString& editorFolder)
    : mEditorFolder(editorFolder.isEmpty() ? QCoreApplication::applicationDirPath() : editorFolder)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);
    mCommands = new CMainCommands(this, client, CommandTable());
    mControls = std::make_unique<CMainControls>(client, mCommands->Toolbar(), this);
    mControls->lblHeader->setText(kArchiveHeader);
    connect(mControls->lvwItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RunIgnoringFailures([this] { RefreshSelectionStatus(); }); });
    connect(mControls->lvwItems, &QTreeView::doubleClicked, this, [this] {
        if (mFortuneCommands->CurrentIndex() != 0)
            RunIgnoringFailures([this] { mFortuneCommands->EditFortune(); });
    });
    connect(mCommands, &CMainCommands::openDropDownShown, this, &frmMain::tlbMain_OpenDropDown);
    connect(mCommands, &CMainCommands::archiveChosen, this, [this](const QString& name) {
        RunIgnoringFailures([this, &name] { OpenArchive(name); });
    });
    CArchiveWindow& window = *this;
    mArchiveCommands = std::make_unique<const CArchiveCommands>(window);
    mFortuneCommands = std::make_unique<const CFortuneCommands>(window);
    mClipboardCommands = std::make_unique<const CClipboardCommands>(window, *mFortuneCommands);
    mExcelCommands = std::make_unique<CExcelCommands>(window);
    mhWnd = RegisterWindow(this, EditorWindows::MainWindowClass);
    mSettleTimer.setSingleShot(true);
    connect(&mSettleTimer, &QTimer::timeout, this, &frmMain::SettleTimer_Timer);
}

frmMain::~frmMain() = default;

void frmMain::SetProcessEnd(std::function<void(int)> end)
{
    ProcessEndHook() = end ? std::move(end) : EndEventLoop;
}

// One row per command, in menu order; the toolbar shows the rows with a
// button in the same order.
std::vector<CommandRow> frmMain::CommandTable()
{
    const auto archives = [this] { return mArchiveCommands.get(); };
    const auto fortunes = [this] { return mFortuneCommands.get(); };
    const auto clipboard = [this] { return mClipboardCommands.get(); };
    const auto sheets = [this] { return mExcelCommands.get(); };
    return {
        {"mnuFile", "mnuFileNew", "&New Archive", "Ctrl+N", Rule::Always,
         [=] { archives()->NewArchive(); }, "New", 1},
        {"mnuFile", "mnuFileOpen", "&Open Archive", "Ctrl+O", Rule::Always,
         [=] { archives()->OpenCommand(); }, "Open", 2},
        {"mnuFile", "mnuFileDuplicate", "&Duplicate Archive", "", Rule::Archive,
         [=] { archives()->DuplicateArchive(); }},
        {"mnuFile", "mnuFileSep1", "-", "", Rule::Always, {}},
        {"mnuFile", "mnuFileDelete", "De&lete Archive", "", Rule::Archive,
         [=] { archives()->DeleteArchive(); }},
        {"mnuFile", "mnuFileSep2", "-", "", Rule::Always, {}},
        {"mnuFile", "mnuFileClose", "&Close Archive", "", Rule::Archive,
         [this] { CloseArchive(); }},
        {"mnuFile", "mnuFileSep3", "-", "", Rule::Always, {}},
        {"mnuFile", "mnuFileExit", "E&xit", "", Rule::Always, [this] { ExitCommand(); }},
        {"mnuEdit", "mnuEditSelectAll", "&Select All", "Ctrl+A", Rule::Archive,
         [=] { fortunes()->SelectAll(); }},
        {"mnuEdit", "mnuEditInvertSelection", "&Invert Selection", "", Rule::Archive,
         [=] { fortunes()->InvertSelection(); }},
        {"mnuEdit", "mnuEditDeselectAll", "&Deselect All", "", Rule::Archive,
         [=] { fortunes()->DeselectAll(); }},
        {"mnuEdit", "mnuEditSep1", "-", "", Rule::Always, {}},
        {"mnuEdit", "mnuEditCut", "&Cut", "Ctrl+X", Rule::Selected, [=] { clipboard()->Cut(); },
         "Cut", 3, true},
        {"mnuEdit", "mnuEditCopy", "C&opy", "Ctrl+C", Rule::Selected, [=] { clipboard()->Copy(); },
         "Copy", 4},
        {"mnuEdit", "mnuEditPaste", "&Paste", "Ctrl+V", Rule::ArchiveClip,
         [=] { clipboard()->Paste(); }, "Paste", 5},
        {"mnuEdit", "mnuEditSep2", "-", "", Rule::Always, {}},
        {"mnuEdit", "mnuEditArchiveHeader", "&Archive Header", "", Rule::Archive,
         [=] { fortunes()->EditHeader(); }},
        {"mnuActions", "mnuActionsAdd", "&Add", "Ctrl+Ins", Rule::Archive,
         [=] { fortunes()->AddFortune(); }, "Add", 6, true},
        {"mnuActions", "mnuActionsEdit", "&Edit", "Ctrl+E", Rule::ArchiveRows,
         [=] { fortunes()->EditFortune(); }, "Edit", 7},
        {"mnuActions", "mnuActionsDelete", "&Delete", "Ctrl+D", Rule::ArchiveRows,
         [=] { fortunes()->DeleteSelectedFortunes(); }, "Delete", 8},
        {"mnuActions", "mnuActionsView", "&View", "Ctrl+L", Rule::ArchiveRows,
         [=] { fortunes()->ViewFortune(); }, "View", 9},
        {"mnuActions", "mnuActionsSep1", "-", "", Rule::Always, {}},
        {"mnuActions", "mnuActionsExport", "E&xport", "", Rule::ArchiveRowsSpreadsheet,
         [=] { sheets()->ExportToExcel(); }, "Export", 10, true},
        {"mnuActions", "mnuActionsImport", "&Import", "", Rule::ArchiveSpreadsheet,
         [=] { sheets()->ImportFromExcel(); }, "Import", 11},
        {"mnuOptions", "mnuOptionsDisplayToolbar", "Display &Toolbar", "", Rule::Always,
         [this] { DisplayToolbarCommand(); }},
        {"mnuHelp", "mnuHelpContents", "Contents", "F1", Rule::Always,
         [this] { ShowUserGuide(mhWnd); }},
        {"mnuHelp", "mnuHelpHome", "ZorvaFortune Homepage", "F2", Rule::Always,
         [this] { ShowHomePage(mhWnd); }},
        {"mnuHelp", "mnuHelpSep1", "-", "", Rule::Always, {}},
        {"mnuHelp", "mnuHelpAbout", "&About ...", "", Rule::Always, [this] { ShowAbout(this); }},
    };
}

// ---------------------------------------------------------------- start-up

void frmMain::Form_Load()
{
    RunIgnoringFailures([this] { mSpreadsheetAvailable = ExcelInstalled(); });
    RunIgnoringFailures([this] { StartClipboardWatcher(); });
    RunIgnoringFailures([this] { FindAppPath(); });
    RunIgnoringFailures([this] { SetDefaultSettings(); });
    RunIgnoringFailures([this] { LoadSettings(); });
    RunIgnoringFailures([this] { ApplyPlacement(); });
    mCommands->MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))
        ->setChecked(!mSettings.HideToolbar);
    mCurrentArchive.reset();
    setWindowTitle(Title);
    mControls->lblHeader->setText(kArchiveHeader);
    RunIgnoringFailures([this] { RefreshArchiveCommands(); });
    CMainControls::SetBackground(mControls->lblHeading, QColor(255, 255, 210));
    mCommands->SetImageLists(ToolbarArt::ImageList(ToolbarArt::Look::Normal),
                             ToolbarArt::ImageList(ToolbarArt::Look::Disabled),
                             ToolbarArt::ImageList(ToolbarArt::Look::Hot));
    show();
    DoEvents();
    RunIgnoringFailures([this] { LayoutControls(); });
    RunIgnoringFailures([this] { CheckPlayerInstalled(); });
}

QString frmMain::DataFolder() const
{
    return ArchiveFiles::PathOf(mAppPath);
}

void frmMain::FindAppPath()
{
    mAppPath = Install::FindAppPath(mEditorFolder);
}

void frmMain::SetDefaultSettings()
{
    const QSize screen = TwipsGeometry::ScreenTwips();
    mSettings.SetDefaults(screen.width(), screen.height());
    CMainControls::SetBackground(mControls->lblHeader, QColor(210, 210, 210));
    RefreshSelectionStatus();
    RefreshArchiveStatus();
}

void frmMain::LoadSettings()
{
    mSettings.Load();
}

void frmMain::SaveSettings()
{
    mSettings.Save(WindowStateOf(*this), CSettings::PlacementOf(*this));
}

// The frame is known only once the window is shown; until then the outer
// size is kept pending and given back when the frame is known.
void frmMain::SetOuterHeight(int32_t twips)
{
    SetOuterSize(*this, {frameGeometry().width(), TwipsGeometry::PixelsY(twips)});
}

void frmMain::SetOuterWidth(int32_t twips)
{
    SetOuterSize(*this, {TwipsGeometry::PixelsX(twips), frameGeometry().height()});
}

// Top, height, left, width, then the state. A hidden window gets no resize
// events from the toolkit, so the resize handling runs here as it would.
void frmMain::ApplyPlacement()
{
    const CSettings::Placement& saved = mSettings.Saved;
    move(x(), TwipsGeometry::PixelsY(saved.Top));
    SetOuterHeight(saved.Height);
    if (!isVisible())
        Form_Resize();
    move(TwipsGeometry::PixelsX(saved.Left), y());
    SetOuterWidth(saved.Width);
    if (!isVisible())
        Form_Resize();
    if (!ApplyWindowState(*this, mSettings.SavedWindowState))
        qCWarning(lcEditor) << "window state" << mSettings.SavedWindowState
                            << "cannot be applied; the window stays normal";
}

void frmMain::Form_Resize()
{
    RunIgnoringFailures([this] { LayoutControls(); });
    RunIgnoringFailures([this] { SaveSettings(); });
    SaveSettingsWhenSettled();
}

namespace {

// After the last geometry event, in milliseconds.
constexpr std::array kSettleDelays{250, 1000, 3000};

} // namespace

// A window manager's frame extents reach the toolkit after the geometry
// events of a restore and change the outer rectangle without an event of
// their own: the placement is stored again while the window settles.
void frmMain::SaveSettingsWhenSettled()
{
    mSettleSaves = 0;
    mSettleTimer.start(kSettleDelays[0]);
}

void frmMain::SettleTimer_Timer()
{
    if (isVisible() && WindowStateOf(*this) == CSettings::StateNormal)
        RunIgnoringFailures([this] { SaveSettings(); });
    if (++mSettleSaves < static_cast<int>(kSettleDelays.size()))
        mSettleTimer.start(kSettleDelays[static_cast<std::size_t>(mSettleSaves)]);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible())
        Form_Resize();
}

// A window manager delivers a restore or a resize of the window as several
// events and the position may come last, so a move in the normal state is
// stored too: the stored placement is always the window's own.
void frmMain::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (isVisible() && WindowStateOf(*this) == CSettings::StateNormal) {
        RunIgnoringFailures([this] { SaveSettings(); });
        SaveSettingsWhenSettled();
    }
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::LayoutControls()
{
    mControls->Layout(!mSettings.HideToolbar, !mSettings.HideHeader);
}

void frmMain::CheckPlayerInstalled()
{
    if (QFileInfo(mEditorFolder + u'/' + Install::PlayerFile).isFile())
        return;
    const int answer = MsgBox(
        QStringLiteral(
            "We have detected that you have installed the ZorvaFortune Editor yet you do not have "
            "ZorvaFortune installed.  While the program will run, it is of limited value without "
            "it "
            "since you can't play your fortune archives.  Would you like us to launch a browser "
            "window "
            "taking you to the ZorvaFortune homepage from where you can download ZorvaFortune?"),
        vbYesNo, QStringLiteral("WARNING! ZorvaFortune Main Application not installed!"), this);
    if (answer == vbYes)
        OpenWithShell(ProductLinks::HomePageUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"),
                      mhWnd);
}

// ---------------------------------------------------------- archive window

QString frmMain::CurrentArchiveName() const
{
    return mCurrentArchive ? mCurrentArchive.Name() : QString();
}

bool frmMain::ArchiveFileExists(const QString& name) const
{
    return ArchiveFiles::HasArchive(DataFolder(), name);
}

CArchiveObject frmMain::LoadArchiveObject(const QString& name) const
{
    if (!ArchiveFileExists(name))
        return {};
    CArchiveObject archive = CArchiveObject::Create();
    archive.Load(ArchiveFiles::ArchivePath(DataFolder(), name));
    return archive;
}

bool frmMain::ArchiveExists(const QString& name)
{
    if (ArchiveFileExists(name))
        return true;
    CloseArchive();
    DoEvents();
    MsgBox(QStringLiteral("Archive does not exist anymore, removing archive from list."),
           vbOKOnly | vbCritical, QStringLiteral("Archive does not exist"), this);
    return false;
}

void frmMain::OpenArchive(const QString& name)
{
    if (name.compare(CurrentArchiveName(), Qt::CaseInsensitive) != 0) {
        const QString caption = CaptionPrefix + name;
        if (EditorWindows::FindEditorWindow(caption, EditorWindows::MainWindowClass)) {
            const int answer =
                MsgBox(QStringLiteral("This archive is already open in another window.\r\nYou "
                                      "cannot edit the same archive in "
                                      "two different instances of the Zorva Fortune Editor at the "
                                      "same time.\r\nWould you "
                                      "like to switch to other instance?"),
                       vbYesNo | vbQuestion, QStringLiteral("Switch to other instance?"), this);
            if (answer == vbYes)
                EditorWindows::ActivateEditorWindow(caption, EditorWindows::MainWindowClass);
            else
                MsgBox(QStringLiteral("Failed to open archive"), vbOKOnly | vbInformation,
                       QStringLiteral("Operation failed."), this);
            return;
        }
    }
    mCurrentArchive = LoadArchiveObject(name);
    if (!mCurrentArchive) {
        // The view would otherwise go on showing an archive that is not open.
        CloseArchive();
        MsgBox(QStringLiteral("Failed to display Fortune archive"), vbOKOnly | vbInformation,
               QStringLiteral("fortedit"), this);
        return;
    }
    if (!ArchiveExists(name))
        return;
    setWindowTitle(CaptionPrefix + name);
    mControls->lblHeader->setText(kArchiveHeader + QStringLiteral(" - ") + name);
    mControls->mRows->Clear();
    // Taken before the read: a change made meanwhile makes the list inexact.
    mListedState = {};
    const CFileState listed = CFileState::Of(CurrentArchivePath());
    const ComPtr<IFortuneSnapshot> snapshot = mCurrentArchive.Snapshot();
    mControls->lblHeading->setText(DisplayText(CArchiveObject::Header(*snapshot.get())));
    FillList(*snapshot.get());
    mListedState = listed;
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

// One row per fortune with its first line. Rows read before a failing call
// stay listed, as they would had they been added one by one.
void frmMain::FillList(IFortuneSnapshot& snapshot)
{
    LONG count = 0;
    if (const HRESULT hr = snapshot.Count(&count); FAILED(hr)) {
        qCWarning(lcEditor) << "the snapshot cannot be counted; the list stays empty";
        count = 0;
    }
    QList<QString> texts;
    texts.reserve(count > 0 ? count : 0);
    try {
        for (int32_t i = 1; i <= count; ++i)
            texts.append(modFortuneRows::FirstLine(CArchiveObject::Item(snapshot, i).view()));
    } catch (...) {
        mControls->mRows->SetRows(std::move(texts));
        throw;
    }
    mControls->mRows->SetRows(std::move(texts));
}

QString frmMain::CurrentArchivePath() const
{
    return ArchiveFiles::ArchivePath(DataFolder(), CurrentArchiveName());
}

ListMark frmMain::MarkList() const
{
    if (!mCurrentArchive)
        return {};
    return {CFileState::Of(CurrentArchivePath()) == mListedState, RowCount()};
}

void frmMain::ShowAppended(const ListMark& before, const QList<QString>& rows)
{
    if (!HoldsOnly(before, before.rows + rows.size()))
        return OpenArchive(CurrentArchiveName());
    // The model lets go of its rows first, so that appending copies none.
    QList<QString> texts = mControls->mRows->Rows();
    mControls->mRows->Clear();
    texts.append(rows);
    ShowRows(std::move(texts));
}

void frmMain::ShowDeleted(const ListMark& before, const std::vector<int32_t>& indices)
{
    std::vector<bool> gone(static_cast<size_t>(before.rows), false);
    qsizetype deleted = 0;
    for (const int32_t index : indices) {
        if (index < 1 || index > before.rows)
            return OpenArchive(CurrentArchiveName());
        deleted += gone[static_cast<size_t>(index - 1)] ? 0 : 1;
        gone[static_cast<size_t>(index - 1)] = true;
    }
    if (!HoldsOnly(before, before.rows - deleted))
        return OpenArchive(CurrentArchiveName());
    const QList<QString>& listed = mControls->mRows->Rows();
    QList<QString> texts;
    texts.reserve(listed.size() - deleted);
    for (qsizetype row = 0; row < listed.size(); ++row) {
        if (!gone[static_cast<size_t>(row)])
            texts.append(listed[row]);
    }
    ShowRows(std::move(texts));
}

// The archive's file now holds the list as it was at the mark and this
// window's change, nothing else: the mark was exact, the file is still there
// and the archive counts `rows` fortunes. The file's state is taken before
// the count, so a change made after it makes the next mark inexact.
bool frmMain::HoldsOnly(const ListMark& before, qsizetype rows)
{
    if (!before.exact || !mCurrentArchive || before.rows != RowCount() ||
        !ArchiveFileExists(CurrentArchiveName()))
        return false;
    const CFileState state = CFileState::Of(CurrentArchivePath());
    try {
        if (mCurrentArchive.Count() != rows)
            return false;
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "the archive cannot be counted:" << DescribeFailure(error);
        return false;
    }
    mListedState = state;
    return true;
}

// The rows in place of the list's, then the state a reload leaves: no row
// selected, status bar and commands refreshed.
void frmMain::ShowRows(QList<QString> rows)
{
    mControls->mRows->SetRows(std::move(rows));
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

void frmMain::CloseArchive()
{
    mCurrentArchive.reset();
    mListedState = {};
    setWindowTitle(Title);
    mControls->lblHeader->setText(kArchiveHeader);
    mControls->lblHeading->clear();
    mControls->mRows->Clear();
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

QTreeView* frmMain::List() const
{
    return mControls->lvwItems;
}

int32_t frmMain::RowCount() const
{
    return mControls->mRows->rowCount();
}

int32_t frmMain::SelectedCount() const
{
    int32_t selected = 0;
    for (const QItemSelectionRange& range : List()->selectionModel()->selection())
        selected += range.height();
    return selected;
}

QString frmMain::RowKey(int32_t row) const
{
    return mControls->mRows->Key(row);
}

QString frmMain::RowText(int32_t row) const
{
    return mControls->mRows->data(mControls->mRows->index(row), Qt::DisplayRole).toString();
}

QString frmMain::PanelText(int panel) const
{
    return mControls->PanelText(panel);
}

void frmMain::RefreshSelectionStatus()
{
    mControls->SetPanel(1, CountText(SelectedCount(), "selected"));
    mCommands->Apply(Setter::SelectionStatus, StateInputs());
}

void frmMain::RefreshArchiveStatus()
{
    mControls->SetPanel(2, mCurrentArchive ? CountText(RowCount(), "in archive")
                                           : QStringLiteral("No current archive"));
}

// ------------------------------------------------- the commands' window

QAbstractItemView& frmMain::FortuneList()
{
    return *mControls->lvwItems;
}

int frmMain::KeyRole() const
{
    return CFortuneListModel::KeyRole;
}

QString frmMain::ArchivePath(const QString& name) const
{
    return ArchiveFiles::ArchivePath(DataFolder(), name);
}

bool frmMain::IsSafeName(const QString& name) const
{
    return ArchiveFiles::IsSafeName(name);
}

QStringList frmMain::ListArchives() const
{
    return ArchiveFiles::List(DataFolder());
}

void frmMain::ShowHeader()
{
    mControls->lblHeading->setText(DisplayText(mCurrentArchive.Header()));
}

// ---------------------------------------------------------------- commands

CommandState::Inputs frmMain::StateInputs() const
{
    CommandState::Inputs in;
    in.archive = static_cast<bool>(mCurrentArchive);
    in.rows = RowCount();
    in.selected = SelectedCount();
    in.spreadsheet = mSpreadsheetAvailable;
    return in;
}

void frmMain::RefreshArchiveCommands()
{
    mCommands->Apply(Setter::ArchiveCommands, StateInputs());
}

void frmMain::RefreshClipboardCommands()
{
    const int32_t count = ClipboardFortuneCount();
    ShowClipboardStatus(count);
    CommandState::Inputs in = StateInputs();
    in.clip = count;
    mCommands->Apply(Setter::ClipboardCommands, in);
}

void frmMain::ShowClipboardStatus(int32_t count)
{
    mControls->SetPanel(3, CountText(count, "on clipboard"));
}

void frmMain::DisplayToolbarCommand()
{
    mSettings.HideToolbar = !mSettings.HideToolbar;
    mCommands->MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))
        ->setChecked(!mSettings.HideToolbar);
    SaveSettings();
    LayoutControls();
}

void frmMain::ExitCommand()
{
    mExcelCommands->ReleaseSpreadsheet();
    ProcessEndHook()(0);
}

void frmMain::tlbMain_OpenDropDown()
{
    RunIgnoringFailures([this] { mCommands->SetArchiveChoices(ListArchives()); });
}

void frmMain::picLogo_Click()
{
    ShowHomePage(mhWnd);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mControls->picLogo && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        picLogo_Click();
    } else if (watched == mControls->lvwItems && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RunIgnoringFailures([this] { mFortuneCommands->DeleteSelectedFortunes(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMain::ExcelInstalled()
{
    return CExcelCommands::ExcelInstalled();
}

// Where only the focused program hears of clipboard changes, the count is
// brought up to date when the user comes back to the window.
void frmMain::StartClipboardWatcher()
{
    moClip = std::make_unique<CClipboardViewer>();
    connect(moClip.get(), &CClipboardViewer::ClipboardChanged, this,
            &frmMain::moClip_ClipboardChanged);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    moClip_ClipboardChanged();
            });
    moClip->InitClipboardChangeNotification(mhWnd);
}

int32_t frmMain::ClipboardFortuneCount()
{
    return CClipboardCommands::ClipboardFortuneCount();
}

void frmMain::moClip_ClipboardChanged()
{
    RunIgnoringFailures([this] { RefreshClipboardCommands(); });
}

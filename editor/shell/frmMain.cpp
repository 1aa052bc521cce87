#include "editor/shell/frmMain.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/FramePlacement.h"
#include "desktop/Prompts.h"
#include "desktop/WindowHandles.h"
#include "editor/editing/CClipboardViewer.h"
#include "editor/editing/modSelection.h"
#include "editor/shell/CListedArchive.h"
#include "editor/shell/CListFind.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CSettleTimer.h"
#include "editor/shell/modEditorWindows.h"
#include "editor/shell/ToolbarArt.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"
#include "editor/support/modForms.h"
#include "editor/support/TwipsGeometry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolBar>
#include <utility>

using namespace zrv::desktop;
using CommandState::Rule;
using CommandState::Setter;

const QString frmMain::Title = QStringLiteral("Zorva Fortune Editor");
const QString frmMain::CaptionPrefix = QStringLiteral("Zorva Fortune Editor - ");

namespace {

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

} // namespace

frmMain::frmMain(const QString& editorFolder,
                 const std::function<std::vector<CommandRow>(frmMain&)>& commands)
    : mEditorFolder(editorFolder.isEmpty() ? QCoreApplication::applicationDirPath() : editorFolder)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);
    auto* toolbar = new QToolBar(client);
    mControls = std::make_unique<CMainControls>(client, toolbar, this);
    mControls->lblHeader->setText(CMainControls::ArchiveHeader);
    mCommands = new CMainCommands(this, toolbar, commands(*this));
    mListed = std::make_unique<CListedArchive>(*mControls->mRows);
    mFind = new CListFind(
        *mControls->fraFind, *mControls->mRows, *mControls->lvwItems,
        [this] { RunIgnoringFailures([this] { CompleteTexts(); }); },
        [this] { RunIgnoringFailures([this] { ShowFound(); }); }, this);
    connect(mControls->lvwItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RunIgnoringFailures([this] { RefreshSelectionStatus(); }); });
    connect(mControls->lvwItems, &QTreeView::doubleClicked, this, [this] {
        if (modSelection::CurrentIndex(*mControls->lvwItems, CFortuneListModel::KeyRole) != 0)
            RunIgnoringFailures([this] { mCommands->Run(QStringLiteral("mnuActionsEdit")); });
    });
    connect(mCommands, &CMainCommands::openDropDownShown, this, &frmMain::tlbMain_OpenDropDown);
    connect(mCommands, &CMainCommands::archiveChosen, this, [this](const QString& name) {
        RunIgnoringFailures([this, &name] { OpenArchive(name); });
    });
    mhWnd = RegisterWindow(this, EditorWindows::MainWindowClass);
    mSettle = new CSettleTimer([this] { SettleTimer_Timer(); }, this);
}

frmMain::~frmMain() = default;

void frmMain::SetProcessEnd(std::function<void(int)> end)
{
    ProcessEndHook() = end ? std::move(end) : EndEventLoop;
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
    mControls->lblHeader->setText(CMainControls::ArchiveHeader);
    RunIgnoringFailures([this] { RefreshArchiveCommands(); });
    CMainControls::SetBackground(mControls->lblHeading, QColor(255, 255, 210));
    mCommands->SetImageLists(ToolbarArt::ImageList(ToolbarArt::Look::Normal),
                             ToolbarArt::ImageList(ToolbarArt::Look::Disabled),
                             ToolbarArt::ImageList(ToolbarArt::Look::Hot));
    show();
    DoEvents();
    RunIgnoringFailures([this] { LayoutControls(); });
    RunIgnoringFailures([this] { Install::CheckPlayerInstalled(mEditorFolder, this, mhWnd); });
}

void frmMain::SetDefaultSettings()
{
    const QSize screen = TwipsGeometry::ScreenTwips();
    mSettings.SetDefaults(screen.width(), screen.height());
    CMainControls::SetBackground(mControls->lblHeader, QColor(210, 210, 210));
    RefreshSelectionStatus();
    RefreshArchiveStatus();
}

void frmMain::SaveSettings()
{
    mSettings.Save(WindowStateOf(*this), CSettings::PlacementOf(*this));
}

// Top, height, left, width, then the state. A hidden window gets no resize
// events from the toolkit, so the resize handling runs here as it would.
void frmMain::ApplyPlacement()
{
    const CSettings::Placement& saved = mSettings.Saved;
    move(x(), TwipsGeometry::PixelsY(saved.Top));
    // The frame is known only once the window is shown; until then the outer
    // size is kept pending and given back when the frame is known.
    SetOuterSize(*this, {frameGeometry().width(), TwipsGeometry::PixelsY(saved.Height)});
    if (!isVisible())
        Form_Resize();
    move(TwipsGeometry::PixelsX(saved.Left), y());
    SetOuterSize(*this, {TwipsGeometry::PixelsX(saved.Width), frameGeometry().height()});
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
    mSettle->Restart();
}

// While the window settles, its placement is stored again.
void frmMain::SettleTimer_Timer()
{
    if (isVisible() && WindowStateOf(*this) == CSettings::StateNormal)
        RunIgnoringFailures([this] { SaveSettings(); });
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
        mSettle->Restart();
    }
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

// ---------------------------------------------------------- archive window

QString frmMain::CurrentArchiveName() const
{
    return mCurrentArchive ? mCurrentArchive.Name() : QString();
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
    // The guard: a reload skips it. A find ends with the archive it was in.
    if (name.compare(CurrentArchiveName(), Qt::CaseInsensitive) != 0) {
        if (EditorWindows::ShownElsewhere(CaptionPrefix + name, this))
            return;
        mFind->Close();
        mHistory.Clear();
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
    mControls->lblHeader->setText(CMainControls::ArchiveHeader + QStringLiteral(" - ") + name);
    mListed->Forget();
    // Taken before the read: a change made meanwhile makes the list inexact.
    const CFileState read = CFileState::Of(CurrentArchivePath());
    const ComPtr<IFortuneSnapshot> snapshot = mCurrentArchive.Snapshot();
    mControls->SetHeading((CArchiveObject::Header(*snapshot.get())));
    mListed->Fill(*snapshot.get(), read);
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

ListMark frmMain::MarkList() const
{
    return mCurrentArchive ? mListed->Mark(CurrentArchivePath()) : ListMark{};
}

// The list follows the change by the appended rows; their whole texts are
// read only for a find.
void frmMain::ShowAppended(const ListMark& before, const QList<QString>& rows)
{
    if (!mListed->FollowAppended(mCurrentArchive, ListedPath(), before, rows))
        return OpenArchive(CurrentArchiveName());
    if (mFind->Active())
        CompleteTexts();
    ShowRows();
}

void frmMain::ShowInserted(const ListMark& before, const std::vector<int32_t>& indices)
{
    if (!mListed->FollowInserted(mCurrentArchive, ListedPath(), before, indices))
        return OpenArchive(CurrentArchiveName());
    ShowRows();
}

void frmMain::ShowDeleted(const ListMark& before, const std::vector<int32_t>& indices)
{
    if (!mListed->FollowDeleted(mCurrentArchive, ListedPath(), before, indices))
        return OpenArchive(CurrentArchiveName());
    ShowRows();
}

void frmMain::CompleteTexts()
{
    if (!mListed->CompleteTexts(mCurrentArchive, ListedPath()))
        OpenArchive(CurrentArchiveName());
}

// The open archive's file, or nothing when it is gone.
QString frmMain::ListedPath() const
{
    return mCurrentArchive && ArchiveFileExists(CurrentArchiveName()) ? CurrentArchivePath()
                                                                      : QString();
}

// After the list's rows changed, the state a reload leaves: no row selected,
// status bar and commands refreshed.
void frmMain::ShowRows()
{
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

void frmMain::CloseArchive()
{
    mFind->Close();
    mHistory.Clear();
    mCurrentArchive.reset();
    mListed->Forget();
    setWindowTitle(Title);
    mControls->lblHeader->setText(CMainControls::ArchiveHeader);
    mControls->lblHeading->clear();
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

void frmMain::RefreshSelectionStatus()
{
    mControls->SetPanel(1, CMainControls::CountText(SelectedCount(), "selected"));
    mCommands->Apply(Setter::SelectionStatus, StateInputs());
}

void frmMain::RefreshArchiveStatus()
{
    if (!mCurrentArchive)
        mControls->SetPanel(2, QStringLiteral("No current archive"));
    else if (mFind->Active())
        mControls->SetPanel(2, mFind->StatusText());
    else
        mControls->SetPanel(2, CMainControls::CountText(FortuneCount(), "in archive"));
}

// After the find bar or the rows it lists changed.
void frmMain::ShowFound()
{
    LayoutControls();
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
}

// ------------------------------------------------- the commands' window

void frmMain::ShowHeader()
{
    mControls->SetHeading((mCurrentArchive.Header()));
    RefreshArchiveCommands();
}

// The current fortune is brought into view. The rows are whole rows of the
// one column already: selecting them as rows would merge the ranges pairwise.
void frmMain::SelectFortunes(const std::vector<int32_t>& selected, int32_t current)
{
    QTreeView& list = *mControls->lvwItems;
    QItemSelection rows;
    for (const int32_t index : selected) {
        const int row = mControls->mRows->RowOf(index - 1);
        if (row >= 0)
            rows.select(mControls->mRows->index(row, 0), mControls->mRows->index(row, 0));
    }
    const int currentRow = mControls->mRows->RowOf(current - 1);
    if (currentRow >= 0) {
        list.selectionModel()->setCurrentIndex(mControls->mRows->index(currentRow, 0),
                                               QItemSelectionModel::NoUpdate);
        list.scrollTo(list.currentIndex());
    }
    list.selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    RefreshSelectionStatus();
}

void frmMain::ShowClipboardStatus(int32_t count)
{
    mControls->SetPanel(3, CMainControls::CountText(count, "on clipboard"));
}

// ---------------------------------------------------------------- commands

CommandState::Inputs frmMain::StateInputs() const
{
    CommandState::Inputs in;
    in.archive = static_cast<bool>(mCurrentArchive);
    in.rows = RowCount();
    in.selected = SelectedCount();
    in.spreadsheet = mSpreadsheetAvailable;
    in.undo = mHistory.NextUndo() != nullptr;
    in.redo = mHistory.NextRedo() != nullptr;
    return in;
}

void frmMain::RefreshArchiveCommands()
{
    mCommands->Apply(Setter::ArchiveCommands, StateInputs());
    mCommands->MenuItem(QStringLiteral("mnuEditUndo"))->setText(mHistory.UndoCaption());
    mCommands->MenuItem(QStringLiteral("mnuEditRedo"))->setText(mHistory.RedoCaption());
}

void frmMain::RefreshClipboardCommands()
{
    const int32_t count = ClipboardFortuneCount();
    ShowClipboardStatus(count);
    CommandState::Inputs in = StateInputs();
    in.clip = count;
    mCommands->Apply(Setter::ClipboardCommands, in);
}

void frmMain::DisplayToolbarCommand()
{
    mSettings.HideToolbar = !mSettings.HideToolbar;
    mCommands->MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))
        ->setChecked(!mSettings.HideToolbar);
    SaveSettings();
    LayoutControls();
}

void frmMain::FindCommand()
{
    if (mCurrentArchive)
        mFind->Open();
}

void frmMain::ExitCommand()
{
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
        RunIgnoringFailures([this] { mCommands->Run(QStringLiteral("mnuActionsDelete")); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
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

void frmMain::moClip_ClipboardChanged()
{
    RunIgnoringFailures([this] { RefreshClipboardCommands(); });
}

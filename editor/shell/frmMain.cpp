#include "editor/shell/frmMain.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/FramePlacement.h"
#include "desktop/Prompts.h"
#include "desktop/ShellExecute.h"
#include "desktop/WindowHandles.h"
#include "editor/archives/modSpreadsheet.h"
#include "editor/editing/CClipboardViewer.h"
#include "editor/editing/modClipboardFortunes.h"
#include "editor/editing/modSelection.h"
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
#include <QToolBar>
#include <QTreeView>
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
    mSettleTimer.setSingleShot(true);
    connect(&mSettleTimer, &QTimer::timeout, this, &frmMain::SettleTimer_Timer);
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

bool frmMain::ExcelInstalled()
{
    return modSpreadsheet::ExcelInstalled();
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
    return modClipboardFortunes::ClipboardFortuneCount();
}

void frmMain::moClip_ClipboardChanged()
{
    RunIgnoringFailures([this] { RefreshClipboardCommands(); });
}

#include "editor/shell/frmMain.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/FramePlacement.h"
#include "desktop/Prompts.h"
#include "desktop/ScreenMetrics.h"
#include "desktop/ShellExecute.h"
#include "desktop/WindowHandles.h"
#include "editor/archives/CArchiveCommands.h"
#include "editor/archives/CExcelCommands.h"
#include "editor/editing/BstrText.h"
#include "editor/editing/CClipboardCommands.h"
#include "editor/editing/CClipboardViewer.h"
#include "editor/editing/CFortuneCommands.h"
#include "editor/editing/modFortuneRows.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modEditorWindows.h"
#include "editor/shell/modInstall.h"
#include "editor/shell/ToolbarArt.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"
#include "editor/support/modForms.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductArt.h"
#include "editor/support/ProductLinks.h"
#include "editor/support/TwipsGeometry.h"

#include <array>
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <utility>

using namespace zrv::desktop;
using CommandState::Setter;

const QString frmMain::Title = QStringLiteral("Zorva Fortune Editor");
const QString frmMain::CaptionPrefix = QStringLiteral("Zorva Fortune Editor - ");

namespace {

// Designed sizes of the header pane, in twips.
constexpr int kLogoWidth = 4455;
constexpr int kLogoHeight = 1725;
constexpr int kHeaderBarHeight = 375;
constexpr int kHeaderTextHeight = 1335;
// Room left beside the list's column for the vertical scroll bar.
constexpr int kScrollBarRoom = 375;

const QString kArchiveHeader = QStringLiteral(" Archive Header");

// Exit leaves the event loop at once; the program then ends as it does when
// its window closes, and the toolkit hands the clipboard's content over to a
// clipboard manager where one runs.
void EndEventLoop(int code)
{
    QCoreApplication::exit(code);
}

frmMain::ProcessEnd& ProcessEndHook()
{
    static frmMain::ProcessEnd end = EndEventLoop;
    return end;
}

// Runs a command; a failure ends it without a word to the user, only to the
// log, and the window goes on.
template <typename F> void RunIgnoringFailures(F&& command)
{
    try {
        std::forward<F>(command)();
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "frmMain: a step was skipped:" << DescribeFailure(error);
    } catch (const std::exception& error) {
        qCWarning(lcEditor) << "frmMain: a step was skipped:" << error.what();
    }
}

void SetBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Moves a label of the header pane and gives it the width; a negative width
// (a window narrower than the logo) cannot be set and leaves the one it had.
void PlaceBeside(QWidget* label, int left, int top, int width)
{
    label->move(left, top);
    if (width >= 0)
        label->resize(width, label->height());
    else
        qCDebug(lcEditor) << "LayoutControls:" << label->objectName()
                          << "keeps its width; room left:" << width;
}

// Turns the archive's CR LF line ends into the label's line breaks.
QString DisplayText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

frmMain::frmMain(const QString& editorFolder)
    : mEditorFolder(editorFolder.isEmpty() ? QCoreApplication::applicationDirPath() : editorFolder)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildControls();
    ConnectCommands();
    BuildCommandRoutines();
    mhWnd = RegisterWindow(this, EditorWindows::MainWindowClass);
    mSettleTimer.setSingleShot(true);
    connect(&mSettleTimer, &QTimer::timeout, this, &frmMain::SettleTimer_Timer);
}

frmMain::~frmMain() = default;

void frmMain::SetProcessEnd(ProcessEnd end)
{
    ProcessEndHook() = end ? std::move(end) : EndEventLoop;
}

void frmMain::BuildControls()
{
    mClient = new QWidget(this);
    mClient->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(mClient);
    mCommands = new CMainCommands(this, mClient);
    tlbMain = mCommands->Toolbar();

    picLogo = new QLabel(mClient);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setFixedSize(TwipsGeometry::Size(kLogoWidth, kLogoHeight));
    picLogo->setPixmap(ProductArt::Logo());
    picLogo->setAlignment(Qt::AlignCenter);
    SetBackground(picLogo, QColor(24, 38, 78));
    picLogo->setCursor(ProductArt::HandCursor());
    picLogo->installEventFilter(this);

    lblHeader = new QLabel(kArchiveHeader, mClient);
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    lblHeader->setTextFormat(Qt::PlainText);
    QFont bold = lblHeader->font();
    bold.setPointSize(12);
    bold.setBold(true);
    lblHeader->setFont(bold);
    lblHeader->setFixedHeight(TwipsGeometry::PixelsY(kHeaderBarHeight));

    lblHeading = new QLabel(mClient);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setTextFormat(Qt::PlainText);
    lblHeading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblHeading->setWordWrap(true);
    lblHeading->setMargin(2);
    lblHeading->setFixedHeight(TwipsGeometry::PixelsY(kHeaderTextHeight));

    BuildList();
    BuildStatusBar();
}

void frmMain::BuildList()
{
    mRows = new CFortuneListModel(this);
    lvwItems = new QTreeView(mClient);
    lvwItems->setObjectName(QStringLiteral("lvwItems"));
    lvwItems->setModel(mRows);
    lvwItems->setRootIsDecorated(false);
    lvwItems->setItemsExpandable(false);
    lvwItems->setUniformRowHeights(true);
    lvwItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwItems->setAllColumnsShowFocus(true);
    lvwItems->setTextElideMode(Qt::ElideRight);
    lvwItems->header()->setStretchLastSection(false);
    lvwItems->header()->setSectionsMovable(false);
    lvwItems->installEventFilter(this);
    connect(lvwItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RunIgnoringFailures([this] { RefreshSelectionStatus(); }); });
    connect(lvwItems, &QTreeView::doubleClicked, this, [this] {
        if (mFortuneCommands->CurrentIndex() != 0)
            RunIgnoringFailures([this] { EditFortuneCommand(); });
    });
}

void frmMain::BuildStatusBar()
{
    stbMain = new QStatusBar(mClient);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setSizeGripEnabled(false);
    for (int panel = 1; panel <= 3; ++panel) {
        auto* label = new QLabel(stbMain);
        label->setObjectName(QStringLiteral("stbMainPanel%1").arg(panel));
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(4, 0, 4, 0);
        stbMain->addWidget(label, 1);
        mPanels.append(label);
    }
}

void frmMain::ConnectCommands()
{
    connect(mCommands, &CMainCommands::menuItemTriggered, this, &frmMain::RunMenuItem);
    connect(mCommands, &CMainCommands::buttonClicked, this, &frmMain::tlbMain_ButtonClick);
    connect(mCommands, &CMainCommands::openDropDownShown, this, &frmMain::tlbMain_OpenDropDown);
    connect(mCommands, &CMainCommands::archiveChosen, this, [this](const QString& name) {
        RunIgnoringFailures([this, &name] { OpenArchive(name); });
    });
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
    lblHeader->setText(kArchiveHeader);
    RunIgnoringFailures([this] { RefreshArchiveCommands(); });
    SetBackground(lblHeading, QColor(255, 255, 210));
    imlNormal = ToolbarArt::ImageList(ToolbarArt::Look::Normal);
    imlDisabled = ToolbarArt::ImageList(ToolbarArt::Look::Disabled);
    imlOver = ToolbarArt::ImageList(ToolbarArt::Look::Hot);
    mCommands->SetImageLists(imlNormal, imlDisabled, imlOver);
    mLoaded = true;
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
    SetBackground(lblHeader, QColor(210, 210, 210));
    RefreshSelectionStatus();
    RefreshArchiveStatus();
}

void frmMain::LoadSettings()
{
    mSettings.Load();
}

void frmMain::SaveSettings()
{
    mSettings.Save(CurrentWindowState(), CurrentPlacement());
}

int32_t frmMain::CurrentWindowState() const
{
    return WindowStateOf(*this);
}

CSettings::Placement frmMain::CurrentPlacement() const
{
    const QRect outer = frameGeometry();
    return {TwipsGeometry::TwipsY(outer.top()), TwipsGeometry::TwipsY(outer.height()),
            TwipsGeometry::TwipsX(outer.left()), TwipsGeometry::TwipsX(outer.width())};
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
    if (isVisible() && CurrentWindowState() == CSettings::StateNormal)
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
    if (isVisible() && CurrentWindowState() == CSettings::StateNormal) {
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
    const bool showToolbar = !mSettings.HideToolbar;
    const bool showHeader = !mSettings.HideHeader;
    tlbMain->setVisible(showToolbar);
    picLogo->setVisible(showHeader);
    lblHeader->setVisible(showHeader);
    lblHeading->setVisible(showHeader);

    const int clientWidth = mClient->width();
    const int clientHeight = mClient->height();
    const int statusHeight = stbMain->sizeHint().height();
    stbMain->setGeometry(0, clientHeight - statusHeight, clientWidth, statusHeight);

    int y = 0;
    if (showToolbar) {
        tlbMain->setGeometry(0, 0, clientWidth, tlbMain->sizeHint().height());
        y = tlbMain->geometry().bottom() + 1;
    }
    if (showHeader) {
        const int logoWidth = picLogo->width();
        picLogo->move(0, y);
        PlaceBeside(lblHeader, logoWidth, y, clientWidth - logoWidth);
        PlaceBeside(lblHeading, logoWidth, y + lblHeader->height(), clientWidth - logoWidth);
        y += picLogo->height();
    }
    const int listHeight = clientHeight - y - statusHeight;
    if (listHeight >= 0)
        lvwItems->setGeometry(0, y, clientWidth, listHeight);
    const int columnWidth = lvwItems->width() - TwipsGeometry::PixelsX(kScrollBarRoom);
    if (columnWidth >= 0)
        lvwItems->header()->resizeSection(0, columnWidth);
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
    lblHeader->setText(kArchiveHeader + QStringLiteral(" - ") + name);
    mRows->Clear();
    // Taken before the read: a change made meanwhile makes the list inexact.
    mListedState = {};
    const CFileState listed = CFileState::Of(CurrentArchivePath());
    const ComPtr<IFortuneSnapshot> snapshot = mCurrentArchive.Snapshot();
    lblHeading->setText(DisplayText(CArchiveObject::Header(*snapshot.get())));
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
    if (FAILED(snapshot.Count(&count)))
        count = 0;
    QList<QString> texts;
    texts.reserve(count > 0 ? count : 0);
    try {
        for (int32_t i = 1; i <= count; ++i)
            texts.append(modFortuneRows::FirstLine(CArchiveObject::Item(snapshot, i).view()));
    } catch (...) {
        mRows->SetRows(std::move(texts));
        throw;
    }
    mRows->SetRows(std::move(texts));
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
    QList<QString> texts = mRows->Rows();
    mRows->Clear();
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
    const QList<QString>& listed = mRows->Rows();
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
    mRows->SetRows(std::move(rows));
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
    lblHeader->setText(kArchiveHeader);
    lblHeading->clear();
    mRows->Clear();
    RefreshSelectionStatus();
    RefreshArchiveStatus();
    RefreshArchiveCommands();
    RefreshClipboardCommands();
}

int32_t frmMain::RowCount() const
{
    return mRows->rowCount();
}

int32_t frmMain::SelectedCount() const
{
    int32_t selected = 0;
    for (const QItemSelectionRange& range : lvwItems->selectionModel()->selection())
        selected += range.height();
    return selected;
}

QString frmMain::RowKey(int32_t row) const
{
    return mRows->Key(row);
}

QString frmMain::RowText(int32_t row) const
{
    return mRows->data(mRows->index(row), Qt::DisplayRole).toString();
}

QString frmMain::PanelText(int panel) const
{
    return mPanels.value(panel - 1) ? mPanels[panel - 1]->text() : QString();
}

void frmMain::RefreshSelectionStatus()
{
    const int32_t selected = SelectedCount();
    QString text;
    if (selected == 0)
        text = QStringLiteral("No fortunes selected");
    else if (selected == 1)
        text = QStringLiteral("1 fortune selected");
    else
        text = QString::number(selected) + QStringLiteral(" fortunes selected");
    mPanels[0]->setText(text);
    mCommands->Apply(Setter::SelectionStatus, StateInputs());
}

void frmMain::RefreshArchiveStatus()
{
    QString text;
    const int32_t rows = RowCount();
    if (!mCurrentArchive)
        text = QStringLiteral("No current archive");
    else if (rows == 0)
        text = QStringLiteral("No fortunes in archive");
    else if (rows == 1)
        text = QStringLiteral("1 fortune in archive");
    else
        text = QString::number(rows) + QStringLiteral(" fortunes in archive");
    mPanels[1]->setText(text);
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
    QString text;
    if (count == 0)
        text = QStringLiteral("No fortunes on clipboard");
    else if (count == 1)
        text = QStringLiteral("1 fortune on clipboard");
    else
        text = QString::number(count) + QStringLiteral(" fortunes on clipboard");
    mPanels[2]->setText(text);
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

void frmMain::RunMenuItem(const QString& name)
{
    using Routine = void (frmMain::*)();
    static const std::pair<const char*, Routine> kRoutes[] = {
        {"mnuFileNew", &frmMain::NewArchive},
        {"mnuFileOpen", &frmMain::OpenCommand},
        {"mnuFileDuplicate", &frmMain::DuplicateArchive},
        {"mnuFileDelete", &frmMain::DeleteArchive},
        {"mnuFileClose", &frmMain::CloseArchive},
        {"mnuFileExit", &frmMain::ExitCommand},
        {"mnuEditSelectAll", &frmMain::SelectAllCommand},
        {"mnuEditInvertSelection", &frmMain::InvertSelectionCommand},
        {"mnuEditDeselectAll", &frmMain::DeselectAllCommand},
        {"mnuEditCut", &frmMain::CutCommand},
        {"mnuEditCopy", &frmMain::CopyCommand},
        {"mnuEditPaste", &frmMain::PasteCommand},
        {"mnuEditArchiveHeader", &frmMain::EditHeaderCommand},
        {"mnuActionsAdd", &frmMain::AddFortuneCommand},
        {"mnuActionsEdit", &frmMain::EditFortuneCommand},
        {"mnuActionsDelete", &frmMain::DeleteSelectedFortunes},
        {"mnuActionsView", &frmMain::ViewFortuneCommand},
        {"mnuActionsExport", &frmMain::ExportToExcel},
        {"mnuActionsImport", &frmMain::ImportFromExcel},
        {"mnuOptionsDisplayToolbar", &frmMain::DisplayToolbarCommand},
    };
    if (name == u"mnuHelpContents")
        return ShowUserGuide(mhWnd);
    if (name == u"mnuHelpHome")
        return ShowHomePage(mhWnd);
    if (name == u"mnuHelpAbout")
        return ShowAbout(this);
    for (const auto& [item, routine] : kRoutes) {
        if (name == QLatin1String(item)) {
            RunIgnoringFailures([this, routine = routine] { (this->*routine)(); });
            return;
        }
    }
}

void frmMain::tlbMain_ButtonClick(const QString& caption)
{
    using Routine = void (frmMain::*)();
    static const std::pair<const char*, Routine> kRoutes[] = {
        {"New", &frmMain::NewArchive},          {"Open", &frmMain::OpenCommand},
        {"Cut", &frmMain::CutCommand},          {"Copy", &frmMain::CopyCommand},
        {"Paste", &frmMain::PasteCommand},      {"Add", &frmMain::AddFortuneCommand},
        {"Edit", &frmMain::EditFortuneCommand}, {"Delete", &frmMain::DeleteSelectedFortunes},
        {"View", &frmMain::ViewFortuneCommand}, {"Export", &frmMain::ExportToExcel},
        {"Import", &frmMain::ImportFromExcel},
    };
    for (const auto& [button, routine] : kRoutes) {
        if (caption.compare(QLatin1String(button), Qt::CaseInsensitive) == 0) {
            RunIgnoringFailures([this, routine = routine] { (this->*routine)(); });
            return;
        }
    }
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
    if (watched == picLogo && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        picLogo_Click();
    } else if (watched == lvwItems && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RunIgnoringFailures([this] { DeleteSelectedFortunes(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QStringList frmMain::ListArchives() const
{
    return ArchiveFiles::List(DataFolder());
}

// ------------------------------------ fortune editing, archive management

void frmMain::BuildCommandRoutines()
{
    CArchiveCommands::Window archives;
    archives.owner = this;
    archives.dataFolder = [this] { return DataFolder(); };
    archives.isOpen = [this] { return static_cast<bool>(mCurrentArchive); };
    archives.currentName = [this] { return CurrentArchiveName(); };
    archives.nameTaken = [this](const QString& name) { return ArchiveFileExists(name); };
    archives.safeName = &ArchiveFiles::IsSafeName;
    archives.listArchives = [this] { return ListArchives(); };
    archives.createEmpty = [](const QString& path) {
        const CArchiveObject created = CArchiveObject::Create();
        created.get()->Create(ToBstr(path).get());
    };
    archives.open = [this](const QString& name) { OpenArchive(name); };
    archives.close = [this] { CloseArchive(); };
    mArchiveCommands = std::make_unique<const CArchiveCommands>(std::move(archives));

    CFortuneCommands::Window editing;
    editing.owner = this;
    editing.list = lvwItems;
    editing.keyRole = CFortuneListModel::KeyRole;
    editing.fortune = [this] { return mCurrentArchive.get(); };
    editing.stillExists = [this] { return ArchiveExists(CurrentArchiveName()); };
    editing.reload = [this] { OpenArchive(CurrentArchiveName()); };
    editing.headerChanged = [this] { lblHeading->setText(DisplayText(mCurrentArchive.Header())); };
    editing.selectionChanged = [this] { RefreshSelectionStatus(); };
    editing.mark = [this] { return MarkList(); };
    editing.deleted = [this](const ListMark& before, const std::vector<int32_t>& indices) {
        ShowDeleted(before, indices);
    };
    mFortuneCommands = std::make_unique<const CFortuneCommands>(std::move(editing));

    CClipboardCommands::Window clipboard;
    clipboard.owner = this;
    clipboard.list = lvwItems;
    clipboard.keyRole = CFortuneListModel::KeyRole;
    clipboard.fortune = [this] { return mCurrentArchive.get(); };
    clipboard.deleteSelected = [this] { DeleteSelectedFortunes(); };
    clipboard.reload = [this] { OpenArchive(CurrentArchiveName()); };
    clipboard.refresh = [this] { RefreshClipboardCommands(); };
    clipboard.mark = [this] { return MarkList(); };
    clipboard.appended = [this](const ListMark& before, const QList<QString>& rows) {
        ShowAppended(before, rows);
    };
    mClipboardCommands = std::make_unique<const CClipboardCommands>(std::move(clipboard));

    CExcelCommands::Window spreadsheet;
    spreadsheet.owner = this;
    spreadsheet.appPath = [this] { return mAppPath; };
    spreadsheet.fortune = [this] { return mCurrentArchive.get(); };
    spreadsheet.currentName = [this] { return CurrentArchiveName(); };
    spreadsheet.archivePath = [this](const QString& name) {
        return ArchiveFiles::ArchivePath(DataFolder(), name);
    };
    spreadsheet.stillExists = [this](const QString& name) { return ArchiveExists(name); };
    spreadsheet.mark = [this] { return MarkList(); };
    spreadsheet.appended = [this](const ListMark& before, const QList<QString>& rows) {
        ShowAppended(before, rows);
    };
    mExcelCommands = std::make_unique<CExcelCommands>(std::move(spreadsheet));
}

void frmMain::OpenCommand()
{
    mArchiveCommands->OpenCommand();
}

void frmMain::NewArchive()
{
    mArchiveCommands->NewArchive();
}

void frmMain::DuplicateArchive()
{
    mArchiveCommands->DuplicateArchive();
}

void frmMain::DeleteArchive()
{
    mArchiveCommands->DeleteArchive();
}

void frmMain::AddFortuneCommand()
{
    mFortuneCommands->AddFortune();
}

void frmMain::EditFortuneCommand()
{
    mFortuneCommands->EditFortune();
}

void frmMain::ViewFortuneCommand()
{
    mFortuneCommands->ViewFortune();
}

void frmMain::EditHeaderCommand()
{
    mFortuneCommands->EditHeader();
}

void frmMain::SelectAllCommand()
{
    mFortuneCommands->SelectAll();
}

void frmMain::InvertSelectionCommand()
{
    mFortuneCommands->InvertSelection();
}

void frmMain::DeselectAllCommand()
{
    mFortuneCommands->DeselectAll();
}

void frmMain::DeleteSelectedFortunes()
{
    mFortuneCommands->DeleteSelectedFortunes();
}

// ------------------------------------- commands completed by later features

void frmMain::CutCommand()
{
    mClipboardCommands->Cut();
}

void frmMain::CopyCommand()
{
    mClipboardCommands->Copy();
}

void frmMain::PasteCommand()
{
    mClipboardCommands->Paste();
}

void frmMain::ExportToExcel()
{
    mExcelCommands->ExportToExcel();
}

void frmMain::ImportFromExcel()
{
    mExcelCommands->ImportFromExcel();
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

std::string frmMain::BuildClipboardText() const
{
    return mClipboardCommands->BuildClipboardText();
}

bool frmMain::ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes)
{
    return CClipboardCommands::ParseClipboardFortunes(rasFortunes);
}

#include "desktop/EditorWindowDirectory.h"
#include "desktop/Prompts.h"
#include "editor/editing/modFortuneRows.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainControls.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modEditorWindows.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <QLabel>
#include <QTreeView>
#include <utility>

// The archive window: the open archive, its list, header and status panels.

using namespace zrv::desktop;
using CommandState::Setter;

namespace {

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
    mControls->lblHeader->setText(CMainControls::ArchiveHeader + QStringLiteral(" - ") + name);
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

// One row per fortune of the snapshot with its first line. Rows read before
// a failing call stay listed, as they would had they been added one by one.
void frmMain::FillList(IFortuneSnapshot& snapshot)
{
    int32_t count = 0;
    try {
        count = CArchiveObject::Count(snapshot);
    } catch (const EditorError&) {
        // Logged by the archive; the list stays empty.
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
    mControls->mRows->Append(rows);
    ShowRows();
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
    mControls->mRows->Remove(gone);
    ShowRows();
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
    mCurrentArchive.reset();
    mListedState = {};
    setWindowTitle(Title);
    mControls->lblHeader->setText(CMainControls::ArchiveHeader);
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

void frmMain::ShowClipboardStatus(int32_t count)
{
    mControls->SetPanel(3, CountText(count, "on clipboard"));
}

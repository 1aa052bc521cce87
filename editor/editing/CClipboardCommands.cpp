#include "editor/editing/CClipboardCommands.h"

#include "desktop/ClipboardText.h"
#include "desktop/Prompts.h"
#include "editor/editing/CFortuneCommands.h"
#include "editor/editing/CListClipboardKeys.h"
#include "editor/editing/CUndoRecorder.h"
#include "editor/editing/modClipboardFormat.h"
#include "editor/editing/modClipboardFortunes.h"
#include "editor/editing/modFortuneRows.h"
#include "editor/editing/modSelection.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <limits>
#include <QAbstractItemView>

using namespace zrv::desktop;

CClipboardCommands::CClipboardCommands(CArchiveWindow& window, const CFortuneCommands& fortunes)
    : mWindow(window), mFortunes(fortunes)
{
    new CListClipboardKeys(&mWindow.FortuneList());
}

std::string CClipboardCommands::BuildClipboardText() const
{
    std::string text;
    const CArchiveObject& archive = mWindow.CurrentArchive();
    if (!archive)
        return text;
    for (const int32_t index :
         modSelection::SelectedIndices(mWindow.FortuneList(), mWindow.KeyRole()))
        modClipboardFormat::AppendRecord(text, ToAnsi(archive.Item(index).view()));
    return text;
}

// The text is built before the clipboard is cleared, so a failure leaves the
// clipboard as it was. It is read back: a clipboard that did not take it
// must not let a Cut delete the fortunes.
void CClipboardCommands::Copy() const
{
    try {
        const std::string text = BuildClipboardText();
        EmptyClipboard();
        SetClipboardText(text);
        if (GetClipboardText() != text)
            throw EditorError(0, QStringLiteral("frmMain:CopyCommand"),
                              QStringLiteral("The clipboard did not take the fortunes"));
    } catch (const std::exception& failure) {
        qCWarning(lcEditor) << "Copy of fortunes failed:" << DescribeFailure(failure);
        throw;
    }
    mWindow.RefreshClipboardCommands();
}

void CClipboardCommands::Cut() const
{
    try {
        Copy();
        mFortunes.DeleteSelectedFortunes(QStringLiteral("Cut"));
    } catch (const std::exception& failure) {
        qCWarning(lcEditor) << "Cut of fortunes failed:" << DescribeFailure(failure);
        MsgBox(QStringLiteral("Cut of Fortunes Failed"), vbOKOnly | vbExclamation,
               QStringLiteral("Operation Failed"), mWindow.Owner());
    }
}

// The clipboard is read once and its fortunes appended in one batch; should
// the archive refuse the batch, they go one Add each and a failing Add ends
// the run. The fortunes added before it stay, and the list is shown again so
// that it matches the file.
void CClipboardCommands::Paste() const
{
    const CArchiveObject& archive = mWindow.CurrentArchive();
    if (!archive)
        return;
    std::vector<std::u16string> fortunes;
    if (!modClipboardFortunes::ParseClipboardFortunes(fortunes))
        return;
    const std::vector<BString> texts(fortunes.begin(), fortunes.end());
    const ListMark before = mWindow.MarkList();
    CUndoRecorder recorder(mWindow);
    const size_t added = archive.AddMany(texts, [&texts](size_t position, HRESULT hr) {
        qCWarning(lcEditor).nospace()
            << "Paste stopped at fortune " << position + 1 << " of " << texts.size()
            << ": Add failed with 0x" << Qt::hex << static_cast<uint32_t>(hr);
        return false;
    });
    recorder.Appended(QStringLiteral("Paste"));
    if (added == texts.size())
        mWindow.ShowAppended(before, modFortuneRows::AppendedRows(texts));
    else if (added > 0)
        mWindow.OpenArchive(mWindow.CurrentArchiveName());
}

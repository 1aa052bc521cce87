#include "editor/editing/CClipboardCommands.h"

#include "desktop/ClipboardText.h"
#include "desktop/Prompts.h"
#include "editor/editing/CListClipboardKeys.h"
#include "editor/editing/modClipboardFormat.h"
#include "editor/editing/modFortuneBatch.h"
#include "editor/editing/modFortuneRows.h"
#include "editor/editing/modSelection.h"
#include "editor/support/EditorError.h"
#include "runtime/com/BString.h"

#include <limits>
#include <QAbstractItemView>
#include <QLoggingCategory>
#include <utility>

using namespace zrv::desktop;

namespace {

Q_LOGGING_CATEGORY(lcClipboard, "zrv.editor")

void Check(HRESULT hr, const char* operation)
{
    if (!SUCCEEDED(hr))
        throw EditorError(hr, QStringLiteral("IFortune:") + QLatin1String(operation),
                          QStringLiteral("Automation error"));
}

QString Describe(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const EditorError*>(&failure))
        return error->Source() + QStringLiteral(": ") + error->Description();
    return QString::fromLocal8Bit(failure.what());
}

// A clipboard whose text cannot be read (beyond what the code page
// conversion takes, or no application) holds no fortunes.
std::string ReadClipboardText()
{
    try {
        return GetClipboardText();
    } catch (const std::exception& failure) {
        qCWarning(lcClipboard) << "The clipboard's text cannot be read:" << Describe(failure);
        return {};
    }
}

} // namespace

CClipboardCommands::CClipboardCommands(Window window) : mWindow(std::move(window))
{
    if (mWindow.list != nullptr)
        new CListClipboardKeys(mWindow.list);
}

std::string CClipboardCommands::BuildClipboardText() const
{
    std::string text;
    IFortune* const fortune = mWindow.fortune();
    if (fortune == nullptr)
        return text;
    for (const int32_t index : modSelection::SelectedIndices(*mWindow.list, mWindow.keyRole)) {
        BString item;
        Check(fortune->get_Item(index, item.put()), "Item");
        modClipboardFormat::AppendRecord(text, ToAnsi(item.view()));
    }
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
        qCWarning(lcClipboard) << "Copy of fortunes failed:" << Describe(failure);
        throw;
    }
    mWindow.refresh();
}

void CClipboardCommands::Cut() const
{
    try {
        Copy();
        mWindow.deleteSelected();
    } catch (const std::exception& failure) {
        qCWarning(lcClipboard) << "Cut of fortunes failed:" << Describe(failure);
        MsgBox(QStringLiteral("Cut of Fortunes Failed"), vbOKOnly | vbExclamation,
               QStringLiteral("Operation Failed"), mWindow.owner);
    }
}

// The clipboard is read once and its fortunes appended in one batch; should
// the archive refuse the batch, they go one Add each and a failing Add ends
// the run. The fortunes added before it stay, and the list is shown again so
// that it matches the file.
void CClipboardCommands::Paste() const
{
    IFortune* const fortune = mWindow.fortune();
    if (fortune == nullptr)
        return;
    std::vector<std::u16string> fortunes;
    if (!ParseClipboardFortunes(fortunes))
        return;
    const std::vector<BString> texts(fortunes.begin(), fortunes.end());
    const ListMark before = mWindow.mark();
    const size_t added =
        modFortuneBatch::AppendFortunes(*fortune, texts, [&texts](size_t position, HRESULT hr) {
            qCWarning(lcClipboard).nospace()
                << "Paste stopped at fortune " << position + 1 << " of " << texts.size()
                << ": Add failed with 0x" << Qt::hex << static_cast<uint32_t>(hr);
            return false;
        });
    if (added == texts.size())
        mWindow.appended(before, modFortuneRows::AppendedRows(texts));
    else if (added > 0)
        mWindow.reload();
}

bool CClipboardCommands::ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes)
{
    rasFortunes.clear();
    const std::string text = ReadClipboardText();
    for (const std::string_view fortune : modClipboardFormat::SplitFortunes(text))
        rasFortunes.push_back(FromAnsi(fortune));
    return !rasFortunes.empty();
}

int32_t CClipboardCommands::ClipboardFortuneCount()
{
    const size_t count = modClipboardFormat::SplitFortunes(ReadClipboardText()).size();
    return static_cast<int32_t>(std::min<size_t>(count, std::numeric_limits<int32_t>::max()));
}

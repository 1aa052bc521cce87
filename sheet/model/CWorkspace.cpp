#include "sheet/model/CWorkspace.h"

#include "sheet/model/DispatchError.h"
#include "sheet/model/Presentation.h"
#include "sheet/model/WideText.h"
#include "sheet/process/SandboxedRead.h"
#include "sheet/process/SheetLogging.h"

#include <algorithm>

namespace zrv::sheet {

void CWorkspace::SetSheetsInNewWorkbook(LONG sheets)
{
    if (sheets < 1 || sheets > 255)
        Fail("A new workbook has 1 to 255 sheets, not " + std::to_string(sheets) + ".",
             E_INVALIDARG);
    m_sheetsInNewWorkbook = sheets;
}

void CWorkspace::SetVisible(bool visible)
{
    if (visible && !m_visible) {
        const std::string reason = CannotShowReason();
        if (!reason.empty())
            Fail(reason);
    }
    m_visible = visible;
}

std::shared_ptr<CWorkbookModel> CWorkspace::AddBook()
{
    m_books.push_back(CWorkbookModel::CreateNew(static_cast<uint32_t>(m_sheetsInNewWorkbook)));
    return m_books.back();
}

std::shared_ptr<CWorkbookModel> CWorkspace::OpenBook(const std::u16string& path)
{
    if (path.find(u'\0') != std::u16string::npos)
        Fail("A file name cannot hold a NUL character.", E_INVALIDARG);
    const std::string file = ToAnsiPath(path);
    std::string error;
    std::optional<WorkbookData> data = ReadInReader(file, error);
    if (!data)
        Fail("The workbook '" + file + "' cannot be opened: " + error);
    m_books.push_back(CWorkbookModel::FromFile(std::move(*data)));
    return m_books.back();
}

void CWorkspace::CloseBook(CWorkbookModel& book)
{
    book.Close();
    std::erase_if(m_books,
                  [&](const std::shared_ptr<CWorkbookModel>& open) { return open.get() == &book; });
}

std::shared_ptr<CWorkbookModel> CWorkspace::ActiveBook() const
{
    if (m_books.empty())
        Fail("No workbook is open.");
    return m_books.back();
}

void CWorkspace::HoldsReleased(CWorkbookModel& book)
{
    if (m_visible && !book.IsClosed() && book.IsChanged())
        Show(book);
}

void CWorkspace::ApplicationReleased()
{
    for (const std::shared_ptr<CWorkbookModel>& book : m_books) {
        if (m_visible && (book->IsChanged() || book->IsUnshown()))
            Show(*book);
    }
}

void CWorkspace::Show(CWorkbookModel& book)
{
    // Shown once for this state; a failure is logged, the caller has gone.
    book.MarkShown();
    std::string file;
    std::string error;
    try {
        if (ShowWorkbook(book.Data(), file, error))
            return;
    } catch (const std::exception& exception) {
        error = exception.what();
    }
    qCWarning(lcSheet, "A workbook could not be shown: %s", error.c_str());
}

} // namespace zrv::sheet

#pragma once

// The state of one application object: its settings and open workbooks, and
// when a workbook is shown. While the application is visible, a workbook that
// was changed is shown once the caller holds nothing inside it any more; one
// added but never changed waits, so a caller that drops the workbook Add gave
// it before taking its sheet gets no empty workbook shown. Releasing the
// application shows every workbook that was changed or never shown.

#include "runtime/ZrvTypes.h"
#include "sheet/model/CWorkbookModel.h"

#include <memory>
#include <string>
#include <vector>

namespace zrv::sheet {

class CWorkspace final {
public:
    CWorkspace() = default;
    CWorkspace(const CWorkspace&) = delete;
    CWorkspace& operator=(const CWorkspace&) = delete;

    LONG SheetsInNewWorkbook() const { return m_sheetsInNewWorkbook; }
    void SetSheetsInNewWorkbook(LONG sheets); // 1 to 255, else fails

    bool ScreenUpdating = true;
    bool Interactive = true;

    bool Visible() const { return m_visible; }
    // Fails (DispatchError) when workbooks cannot be shown.
    void SetVisible(bool visible);

    // The new or opened workbook becomes the active one.
    std::shared_ptr<CWorkbookModel> AddBook();
    std::shared_ptr<CWorkbookModel> OpenBook(const std::u16string& path);
    // Discards it without showing it; the last other one becomes active.
    void CloseBook(CWorkbookModel& book);
    size_t BookCount() const { return m_books.size(); }
    // Fails when no workbook is open.
    std::shared_ptr<CWorkbookModel> ActiveBook() const;

    // The caller let go of the last object inside book.
    void HoldsReleased(CWorkbookModel& book);
    // The caller released the application object.
    void ApplicationReleased();

private:
    void Show(CWorkbookModel& book);

    std::vector<std::shared_ptr<CWorkbookModel>> m_books; // the active one last
    LONG m_sheetsInNewWorkbook = 1;
    bool m_visible = false;
};

} // namespace zrv::sheet

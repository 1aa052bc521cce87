#pragma once

// The state of one application object: its settings and open workbooks, and
// when a workbook is shown. While the application is visible, a workbook that
// was changed is shown once the caller holds nothing inside it any more; one
// added but never changed waits, so a caller that drops the workbook Add gave
// it before taking its sheet gets no empty workbook shown. Releasing the
// application shows every workbook that was changed or never shown.

#include "runtime/ZrvTypes.h"
#include "sheet/app/CBook.h"

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
    std::shared_ptr<CBook> AddBook();
    std::shared_ptr<CBook> OpenBook(const std::u16string& path);
    // Discards it without showing it; the last other one becomes active.
    void CloseBook(CBook& book);
    size_t BookCount() const { return m_books.size(); }
    // Fails when no workbook is open.
    std::shared_ptr<CBook> ActiveBook() const;

    // The caller let go of the last object inside book.
    void HoldsReleased(CBook& book);
    // The caller released the application object.
    void ApplicationReleased();

private:
    void Show(CBook& book);

    std::vector<std::shared_ptr<CBook>> m_books; // the active one last
    LONG m_sheetsInNewWorkbook = 1;
    bool m_visible = false;
};

// One object the caller holds inside a workbook: counts in the workbook's
// holds for as long as it lives. Members reach the workbook through it and
// fail once it is closed.
class CBookHold final {
public:
    CBookHold(std::shared_ptr<CWorkspace> workspace, std::shared_ptr<CBook> book);
    ~CBookHold();
    CBookHold(const CBookHold& other);
    CBookHold& operator=(const CBookHold&) = delete;

    CBook& Book() const;
    CWorkspace& Workspace() const { return *m_workspace; }
    const std::shared_ptr<CWorkspace>& SharedWorkspace() const { return m_workspace; }
    const std::shared_ptr<CBook>& SharedBook() const { return m_book; }

private:
    std::shared_ptr<CWorkspace> m_workspace;
    std::shared_ptr<CBook> m_book;
};

} // namespace zrv::sheet

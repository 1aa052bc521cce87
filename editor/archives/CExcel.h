#pragma once

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"
#include "sheet/automation/SheetDispatchIds.h"

#include <QString>

// One automation connection to the spreadsheet application registered as
// "Excel.Application". Construction starts the application and fails (throws
// EditorError) when it cannot be created. The connection is dropped when the
// object ends; the application is never asked to quit, so a visible one stays
// open for the user.
class CExcel final {
public:
    CExcel();
    ~CExcel();
    CExcel(const CExcel&) = delete;
    CExcel& operator=(const CExcel&) = delete;

    // The application object.
    ComPtr<IDispatch> ExcelApp;

    // The workbook opened from the file.
    ComPtr<IDispatch> SetWorkBook(const QString& vsFileName);
    // A new workbook.
    ComPtr<IDispatch> NewWorkBook();
    ComPtr<IDispatch> ActiveSheet();

private:
    void StartExcel();
    // Starts the application again when it no longer answers.
    void EnsureExcel();
    ComPtr<IDispatch> Workbooks();
};

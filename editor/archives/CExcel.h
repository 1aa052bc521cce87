#pragma once

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <QString>

// One automation connection to the spreadsheet application registered as
// "Excel.Application". Construction starts the application and fails (throws
// EditorError) when it cannot be created. The connection is dropped when the
// object ends; the application is never asked to quit, so a visible one stays
// open for the user.
class CExcel final {
public:
    // Dispatch ids of the application's members.
    static constexpr DISPID DispSheetsInNewWorkbook = 993;
    static constexpr DISPID DispScreenUpdating = 382;
    static constexpr DISPID DispInteractive = 361;
    static constexpr DISPID DispVisible = 558;
    static constexpr DISPID DispOperatingSystem = 375;
    static constexpr DISPID DispWorkbooks = 572;
    static constexpr DISPID DispActiveSheet = 307;
    static constexpr DISPID DispSelection = 147;
    // Of the workbook and the worksheet.
    static constexpr DISPID DispClose = 277;
    static constexpr DISPID DispRange = 197;
    static constexpr DISPID DispRows = 258;
    static constexpr DISPID DispColumns = 241;

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

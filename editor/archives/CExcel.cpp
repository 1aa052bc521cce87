#include "editor/archives/CExcel.h"

#include "editor/archives/modAutomation.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

using namespace Automation;

CExcel::CExcel()
{
    StartExcel();
}

CExcel::~CExcel()
{
    ExcelApp.reset();
}

void CExcel::StartExcel()
{
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(u"Excel.Application", &clsid);
    ComPtr<IDispatch> application;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, application.putVoid());
    if (FAILED(hr))
        throw EditorError(hr, QStringLiteral("CExcel:StartExcel"),
                          QStringLiteral("Cannot create the object Excel.Application."));
    ExcelApp = application;
    CVariant one = CVariant::Long(1);
    Put(ExcelApp.get(), DISPID_XL_SHEETS_IN_NEW_WORKBOOK, QStringLiteral("SheetsInNewWorkbook"),
        one.get());
    CVariant yes = CVariant::Bool(true);
    Put(ExcelApp.get(), DISPID_XL_SCREEN_UPDATING, QStringLiteral("ScreenUpdating"), yes.get());
    Put(ExcelApp.get(), DISPID_XL_INTERACTIVE, QStringLiteral("Interactive"), yes.get());
}

void CExcel::EnsureExcel()
{
    try {
        Get(ExcelApp.get(), DISPID_XL_OPERATING_SYSTEM, QStringLiteral("OperatingSystem"));
    } catch (const EditorError& probe) {
        qCInfo(lcEditor) << "spreadsheet application no longer answers, starting it again:"
                         << probe.Description();
        try {
            StartExcel();
        } catch (const EditorError& error) {
            qCWarning(lcEditor) << "cannot start the spreadsheet application again:"
                                << error.Description();
        }
    }
}

ComPtr<IDispatch> CExcel::Workbooks()
{
    return GetObject(ExcelApp.get(), DISPID_XL_WORKBOOKS, QStringLiteral("Workbooks"));
}

ComPtr<IDispatch> CExcel::SetWorkBook(const QString& vsFileName)
{
    EnsureExcel();
    CVariant file = CVariant::Text(vsFileName);
    return GetObjectByName(Workbooks().get(), QStringLiteral("Open"), file.get());
}

ComPtr<IDispatch> CExcel::NewWorkBook()
{
    EnsureExcel();
    return GetObjectByName(Workbooks().get(), QStringLiteral("Add"));
}

ComPtr<IDispatch> CExcel::ActiveSheet()
{
    EnsureExcel();
    return GetObject(ExcelApp.get(), DISPID_XL_ACTIVE_SHEET, QStringLiteral("ActiveSheet"));
}

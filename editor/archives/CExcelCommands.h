#pragma once

#include "runtime/com/OleAuto.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <QString>

class CArchiveObject;
class CArchiveWindow;
class CExcel;
class CImportChunk;

// Export of the open archive's fortunes to a new spreadsheet and import of
// fortunes from column A of a spreadsheet file, through the spreadsheet
// application's automation object. Holds the main window's spreadsheet
// object: made by the first export or import, replaced by every export,
// reused by imports.
class CExcelCommands final {
public:
    explicit CExcelCommands(CArchiveWindow& window);
    ~CExcelCommands();
    CExcelCommands(const CExcelCommands&) = delete;
    CExcelCommands& operator=(const CExcelCommands&) = delete;

    void ExportToExcel();
    void ImportFromExcel();

    // The spreadsheet object, or null when the window holds none.
    CExcel* Spreadsheet() const { return moExcel.get(); }
    void ReleaseSpreadsheet();

    // A cell's value as text: numbers in their shortest form in the user's
    // locale, booleans "True" / "False", empty cells empty. Nothing for a
    // value that has no text (an error value).
    static std::optional<QString> CellText(const VARIANT& vValue);

private:
    bool StartSpreadsheet(bool vbVisible);
    bool StartSpreadsheetFor(bool vbVisible, const QString& facility);
    std::optional<QString> OpenArchiveName() const;
    struct ExportOutcome {
        bool archiveStayed = true;
        int32_t tooLong = 0; // fortunes left out for being longer than a cell holds
    };
    ExportOutcome ExportRows(IDispatch* sheet, const CArchiveObject& archive, const QString& name,
                             int32_t limit) const;
    void FinishSheet(IDispatch* sheet) const;
    bool ImportRows(IDispatch* sheet, CImportChunk& chunk) const;
    bool ReadRows(IDispatch* sheet, CImportChunk& chunk) const;

    CArchiveWindow& mWindow;
    std::unique_ptr<CExcel> moExcel;
};

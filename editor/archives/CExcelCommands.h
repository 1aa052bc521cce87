#pragma once

#include "component/IFortune.h"
#include "editor/editing/ListMark.h"
#include "runtime/com/OleAuto.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QString>

class CImportChunk;

class CExcel;
class QWidget;

// Export of the open archive's fortunes to a new spreadsheet and import of
// fortunes from column A of a spreadsheet file, through the spreadsheet
// application's automation object. Holds the main window's spreadsheet
// object: made by the first export or import, replaced by every export,
// reused by imports.
class CExcelCommands final {
public:
    struct Window {
        QWidget* owner = nullptr;
        std::function<QString()> appPath;
        // The open archive; null when none is open.
        std::function<IFortune*()> fortune;
        std::function<QString()> currentName;
        // The full path of the named archive's file.
        std::function<QString(const QString&)> archivePath;
        // False, after closing the archive and telling the user, when the
        // archive's file is gone.
        std::function<bool(const QString&)> stillExists;
        // The list's mark before a change.
        std::function<ListMark()> mark;
        // Shows the archive after these rows were appended to it; an inexact
        // mark shows it afresh.
        std::function<void(const ListMark&, const QList<QString>&)> appended;
    };

    explicit CExcelCommands(Window window);
    ~CExcelCommands();
    CExcelCommands(const CExcelCommands&) = delete;
    CExcelCommands& operator=(const CExcelCommands&) = delete;

    // A spreadsheet application of version 5 or later is registered for the
    // .xls file type on this machine.
    static bool ExcelInstalled();

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
    struct ExportOutcome {
        bool archiveStayed = true;
        int32_t tooLong = 0; // fortunes left out for being longer than a cell holds
    };
    ExportOutcome ExportRows(IDispatch* sheet, IFortune* archive, const QString& name,
                             int32_t limit) const;
    void FinishSheet(IDispatch* sheet) const;
    bool ImportRows(IDispatch* sheet, CImportChunk& chunk) const;
    bool ReadRows(IDispatch* sheet, CImportChunk& chunk) const;

    Window mWindow;
    std::unique_ptr<CExcel> moExcel;
};

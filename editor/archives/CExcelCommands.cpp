#include "editor/archives/CExcelCommands.h"

#include "desktop/Prompts.h"
#include "editor/archives/CExcel.h"
#include "editor/archives/CImportChunk.h"
#include "editor/archives/CProgress.h"
#include "editor/archives/modAutomation.h"
#include "editor/archives/modForms.h"
#include "editor/editing/CUndoRecorder.h"
#include "editor/editing/TrimSpaces.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <cmath>
#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <utility>

using namespace zrv::desktop;
using namespace Automation;

namespace {

constexpr int32_t kRowHeight = 30;
constexpr int32_t kColumnWidth = 60;
// The most characters a spreadsheet cell holds.
constexpr qsizetype kMaxCellText = 32767;

void LogFailure(const char* vsStep, const EditorError& error)
{
    qCWarning(lcEditor).noquote() << vsStep << "failed:" << DescribeFailure(error);
}

// Runs a step of the automation; a failure is logged and passed over.
template <typename Step> void Attempt(const char* vsStep, const Step& step)
{
    try {
        step();
    } catch (const EditorError& error) {
        LogFailure(vsStep, error);
    }
}

// A date as the user's locale writes it: its short date form with the year
// in full, then its long time form without a zone; a time alone (serial
// below 1) without the date, a date at midnight without the time.
QString DateText(double vdSerial)
{
    const double days = std::trunc(vdSerial);
    auto seconds = std::llround(std::abs(vdSerial - days) * 86400);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days) + seconds / 86400);
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds % 86400));
    const QLocale locale;
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QStringLiteral("yyyy")))
        dateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    if (vdSerial >= 0 && vdSerial < 1 && time != QTime(0, 0))
        return locale.toString(time, timeFormat.trimmed());
    if (time == QTime(0, 0))
        return locale.toString(date, dateFormat);
    return locale.toString(date, dateFormat) + QLatin1Char(' ') +
           locale.toString(time, timeFormat.trimmed());
}

QString CellAddress(const QString& vsColumn, int32_t vlRow)
{
    return vsColumn + QString::number(vlRow);
}

// The text into column A of the row; false when the cell was not written.
bool WriteCell(IDispatch* sheet, int32_t vlRow, const QString& vsText)
{
    try {
        CVariant address = CVariant::Text(CellAddress(QStringLiteral("A"), vlRow));
        const ComPtr<IDispatch> cell =
            GetObject(sheet, DISPID_XL_RANGE, QStringLiteral("Range"), address.get());
        CVariant value = CVariant::Text(vsText);
        PutByName(cell.get(), QStringLiteral("Value"), value.get());
        return true;
    } catch (const EditorError& error) {
        LogFailure("writing a cell", error);
        return false;
    }
}

void SetRowHeight(IDispatch* sheet, int32_t vlRow)
{
    Attempt("setting a row height", [&] {
        CVariant number = CVariant::Long(vlRow);
        const ComPtr<IDispatch> line =
            GetObject(sheet, DISPID_XL_ROWS, QStringLiteral("Rows"), number.get());
        CVariant height = CVariant::Long(kRowHeight);
        PutByName(line.get(), QStringLiteral("RowHeight"), height.get());
    });
}

void TellTooLong(int32_t vlCount, QWidget* owner)
{
    const QString text =
        vlCount == 1
            ? QStringLiteral("1 fortune was longer than the 32,767 characters a spreadsheet cell "
                             "holds and was left out.")
            : QStringLiteral("%1 fortunes were longer than the 32,767 characters a spreadsheet "
                             "cell holds and were left out.")
                  .arg(vlCount);
    MsgBox(text, vbOKOnly | vbInformation, {}, owner);
}

} // namespace

CExcelCommands::CExcelCommands(CArchiveWindow& window) : mWindow(window) {}

CExcelCommands::~CExcelCommands() = default;

void CExcelCommands::ReleaseSpreadsheet()
{
    moExcel.reset();
}

std::optional<QString> CExcelCommands::CellText(const VARIANT& vValue)
{
    // Most cells hold text: read in place, without copies on the way.
    if (vValue.vt == VT_BSTR)
        return QString::fromUtf16(vValue.bstrVal,
                                  static_cast<qsizetype>(SysStringLen(vValue.bstrVal)));
    CVariant value;
    if (FAILED(VariantCopyInd(value.get(), &vValue)))
        return std::nullopt;
    const VARIANT& v = value.value();
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return QString();
    case VT_BSTR:
        return CArchiveObject::ToQString(
            BString(std::u16string_view(v.bstrVal, SysStringLen(v.bstrVal))));
    case VT_BOOL:
        return v.boolVal != VARIANT_FALSE ? QStringLiteral("True") : QStringLiteral("False");
    case VT_R8:
    case VT_R4: {
        const double number = v.vt == VT_R8 ? v.dblVal : static_cast<double>(v.fltVal);
        if (!std::isfinite(number))
            return std::nullopt;
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(number, 'g', QLocale::FloatingPointShortest);
    }
    case VT_DATE:
        if (!std::isfinite(v.date))
            return std::nullopt;
        return DateText(v.date);
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return std::nullopt;
    default:
        break;
    }
    // Integers, currency: as the runtime writes them.
    CVariant text;
    if (FAILED(VariantChangeType(text.get(), &v, VARIANT_ALPHABOOL, VT_BSTR)))
        return std::nullopt;
    return CellText(text.value());
}

// A new spreadsheet object becomes the window's; an earlier application goes
// on if it was visible. False, with no object left, when the application
// cannot be started or shown.
bool CExcelCommands::StartSpreadsheet(bool vbVisible)
{
    try {
        auto excel = std::make_unique<CExcel>();
        moExcel = std::move(excel);
        CVariant visible = CVariant::Bool(vbVisible);
        Put(moExcel->ExcelApp.get(), DISPID_XL_VISIBLE, QStringLiteral("Visible"), visible.get());
        return true;
    } catch (const EditorError& error) {
        LogFailure("starting the spreadsheet application", error);
        moExcel.reset();
        return false;
    }
}

// As StartSpreadsheet; when the application cannot be started the user is
// told that the facility ("Export" or "Import") needs it.
bool CExcelCommands::StartSpreadsheetFor(bool vbVisible, const QString& facility)
{
    if (StartSpreadsheet(vbVisible))
        return true;
    MsgBox(QStringLiteral("You must have Excel 97 of higher installed on your machine for the %1 "
                          "facility to work.")
               .arg(facility.toLower()),
           vbOKOnly | vbCritical, QStringLiteral("%1 Failed: Excel not installed.").arg(facility),
           mWindow.Owner());
    return false;
}

// The open archive's name; nothing when no archive is open or its file is
// gone (the window then shows that it is gone).
std::optional<QString> CExcelCommands::OpenArchiveName() const
{
    if (!mWindow.CurrentArchive())
        return std::nullopt;
    QString name = mWindow.CurrentArchiveName();
    if (!mWindow.ArchiveExists(name))
        return std::nullopt;
    return name;
}

// ----------------------------------------------------------------- export

void CExcelCommands::ExportToExcel()
{
    const std::optional<QString> open = OpenArchiveName();
    if (!open)
        return;
    const QString& name = *open;
    int32_t limit = 0;
    if (!ShowExport(limit, mWindow.Owner()))
        return;
    const CArchiveObject archive = mWindow.CurrentArchive();
    if (!archive)
        return;

    if (!StartSpreadsheetFor(true, QStringLiteral("Export")))
        return;

    ComPtr<IDispatch> sheet;
    Attempt("adding a workbook", [&] {
        moExcel->NewWorkBook();
        sheet = moExcel->ActiveSheet();
    });
    const ExportOutcome outcome = ExportRows(sheet.get(), archive, name, limit);
    FinishSheet(sheet.get());
    sheet.reset();
    if (outcome.tooLong > 0)
        TellTooLong(outcome.tooLong, mWindow.Owner());
    if (!outcome.archiveStayed)
        mWindow.ArchiveExists(name);
}

// Rows 1, 2, ... without gaps, in archive order. A fortune is exported when
// there is no limit or its length without surrounding spaces is below it; a
// text longer than a cell holds takes no row when the cell refuses it, and is
// counted. Cancel ends the rows early. The archive counts as gone when its
// file vanished (its texts then read as empty).
CExcelCommands::ExportOutcome CExcelCommands::ExportRows(IDispatch* sheet,
                                                         const CArchiveObject& archive,
                                                         const QString& name, int32_t limit) const
{
    ExportOutcome outcome;
    const QString path = mWindow.ArchivePath(name);
    if (!QFileInfo::exists(path)) {
        outcome.archiveStayed = false;
        return outcome;
    }
    int32_t count = 0;
    try {
        count = archive.Count();
    } catch (const EditorError&) {
        return outcome; // logged by the archive
    }
    CProgress progress(mWindow.Owner(), QStringLiteral("Exporting fortunes..."), count);
    int32_t row = 0;
    for (int32_t i = 1; i <= count; ++i) {
        if (!progress.Step(i - 1))
            return outcome;
        BString item;
        try {
            item = archive.Item(i);
        } catch (const EditorError&) {
            continue; // logged by the archive; the fortune is left out
        }
        if (!QFileInfo::exists(path)) {
            outcome.archiveStayed = false;
            return outcome;
        }
        const QString text = CArchiveObject::ToQString(item);
        if (limit != -1 && TrimSpaces(text).size() >= limit)
            continue;
        if (!WriteCell(sheet, row + 1, text) && text.size() > kMaxCellText) {
            qCInfo(lcEditor) << "fortune" << i << "has" << text.size()
                             << "characters, more than a cell holds; left out";
            ++outcome.tooLong;
            continue;
        }
        ++row;
        SetRowHeight(sheet, row);
    }
    return outcome;
}

// Column A 60 wide, B1 the active cell.
void CExcelCommands::FinishSheet(IDispatch* sheet) const
{
    Attempt("selecting column A", [&] {
        CVariant letter = CVariant::Text(QStringLiteral("A"));
        const ComPtr<IDispatch> column =
            GetObject(sheet, DISPID_XL_COLUMNS, QStringLiteral("Columns"), letter.get());
        CallByName(column.get(), QStringLiteral("Select"));
    });
    Attempt("setting the column width", [&] {
        const ComPtr<IDispatch> selection =
            GetObject(moExcel->ExcelApp.get(), DISPID_XL_SELECTION, QStringLiteral("Selection"));
        CVariant width = CVariant::Long(kColumnWidth);
        PutByName(selection.get(), QStringLiteral("ColumnWidth"), width.get());
    });
    Attempt("activating B1", [&] {
        CVariant address = CVariant::Text(QStringLiteral("B1"));
        const ComPtr<IDispatch> cell =
            GetObject(sheet, DISPID_XL_RANGE, QStringLiteral("Range"), address.get());
        CallByName(cell.get(), QStringLiteral("Activate"));
    });
}

// ----------------------------------------------------------------- import

void CExcelCommands::ImportFromExcel()
{
    const std::optional<QString> open = OpenArchiveName();
    if (!open)
        return;
    const QString& name = *open;
    const int answer = MsgBox(
        QStringLiteral("Warning! Do you really wish to append fortunes to the selected archive '") +
            name + QStringLiteral("' ?"),
        vbYesNo, {}, mWindow.Owner());
    if (answer != vbYes)
        return;
    const QString file = ShowOpenFileDialog(mWindow.AppPath(), {}, {}, mWindow.Owner());
    if (file.isEmpty())
        return;
    const CArchiveObject archive = mWindow.CurrentArchive();
    if (!archive)
        return;

    if (!moExcel && !StartSpreadsheetFor(false, QStringLiteral("Import")))
        return;

    ComPtr<IDispatch> workbook;
    try {
        workbook = moExcel->SetWorkBook(file);
    } catch (const EditorError& error) {
        LogFailure("opening the file to import", error);
        MsgBox(QStringLiteral("Unable to load selected file.  Please check and make sure the file "
                              "you are trying to import is a valid Excel file."),
               vbOKOnly | vbCritical, QStringLiteral("Import Failed: Failed to load file."),
               mWindow.Owner());
        return;
    }

    ComPtr<IDispatch> sheet;
    Attempt("taking the active sheet", [&] { sheet = moExcel->ActiveSheet(); });
    const ListMark before = mWindow.MarkList();
    CImportChunk chunk(archive, mWindow.ArchivePath(name));
    CUndoRecorder recorder(mWindow);
    const bool archiveStayed = ImportRows(sheet.get(), chunk);
    if (archiveStayed)
        recorder.Appended(QStringLiteral("Import"));
    sheet.reset();
    Attempt("closing the imported workbook",
            [&] { Call(workbook.get(), DISPID_XL_CLOSE, QStringLiteral("Close")); });
    workbook.reset();
    if (!archiveStayed) {
        mWindow.ArchiveExists(name);
        return;
    }
    mWindow.ShowAppended(chunk.AllAppended() ? before : ListMark{}, chunk.AppendedRows());
}

// Appends column A from row 1 down to the first cell that is empty without
// its surrounding spaces. A cell that cannot be read or holds no text (an
// error value) ends the reading as an empty one does; so does Cancel. The
// rows read up to then are appended, in chunks along the way. False when
// the archive's file vanished, before anything was written elsewhere.
bool CExcelCommands::ImportRows(IDispatch* sheet, CImportChunk& chunk) const
{
    return ReadRows(sheet, chunk) && chunk.Flush();
}

bool CExcelCommands::ReadRows(IDispatch* sheet, CImportChunk& chunk) const
{
    CProgress progress(mWindow.Owner(), QStringLiteral("Importing fortunes..."), 0);
    for (int32_t row = 1;; ++row) {
        if (!progress.Step(row - 1))
            return true;
        CVariant value;
        try {
            CVariant address = CVariant::Text(CellAddress(QStringLiteral("A"), row));
            const ComPtr<IDispatch> cell =
                GetObject(sheet, DISPID_XL_RANGE, QStringLiteral("Range"), address.get());
            value = GetByName(cell.get(), QStringLiteral("Value"));
        } catch (const EditorError& error) {
            LogFailure("reading a cell", error);
            return true;
        }
        const std::optional<QString> text = CellText(value.value());
        if (!text) {
            qCWarning(lcEditor) << "import stops at cell A" << row << "of type" << value.Type()
                                << ", which holds no text";
            return true;
        }
        const QString fortune = TrimSpaces(*text);
        if (fortune.isEmpty())
            return true;
        if (!chunk.Take(row, fortune))
            return false;
    }
}

// WriteXlsxFile: the workbook through libxlsxwriter into a private folder
// beside the target, then put in place without ever replacing a file.

#include "sheet/io/CellText.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XlsxText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace zrv::sheet {

namespace {

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A private folder beside the target (mkdtemp: a fresh name, mode 0700) in
// which the workbook is written under the target's name. libxlsxwriter opens
// the file by name; in this folder nobody else can put anything in its place.
// Removed with whatever is left in it.
class PrivateFolder final {
public:
    explicit PrivateFolder(const std::string& target)
    {
        const auto slash = target.rfind('/');
        const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
        std::string pattern = FolderOf(target) + "/." + name + ".XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        m_folder = pattern;
        m_file = m_folder + "/" + name;
    }
    ~PrivateFolder()
    {
        if (m_folder.empty())
            return;
        std::error_code ignored; // only this process writes in it
        std::filesystem::remove_all(m_folder, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool Created() const { return !m_folder.empty(); }
    const std::string& File() const { return m_file; }

private:
    std::string m_folder;
    std::string m_file;
};

bool SyncFile(const std::string& path, int flags)
{
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    return close(fd) == 0 && synced;
}

// Gives the temporary file the target's name unless that name is taken:
// rename without replacing where the file system offers it, else a hard link.
bool PublishWithoutReplacing(const std::string& temporary, const std::string& target,
                             std::string& error)
{
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        error = SystemError("cannot create " + target);
        return false;
    }
    if (link(temporary.c_str(), target.c_str()) != 0) {
        error = SystemError("cannot create " + target);
        return false;
    }
    unlink(temporary.c_str());
    return true;
}

bool CheckCell(const CellRef& ref, const CellData& cell, std::string& error)
{
    const std::string where = "cell " + CellName(ref.row, ref.column);
    if (ref.row < 1 || ref.row > kMaxRows || ref.column < 1 || ref.column > kMaxColumns) {
        error = where + " is outside a sheet";
        return false;
    }
    switch (cell.kind) {
    case CellKind::Text:
        if (!IsValidUtf8(cell.text)) {
            error = where + " holds text that is not valid UTF-8";
            return false;
        }
        if (const auto length = Utf16Length(ToFileText(cell.text)); length > kMaxCellChars) {
            error = where + " holds " + std::to_string(length) +
                    " characters; a cell holds at most " + std::to_string(kMaxCellChars);
            return false;
        }
        return true;
    case CellKind::Number:
    case CellKind::Date:
        if (!std::isfinite(cell.number)) {
            error = where + " holds a number a spreadsheet cannot store";
            return false;
        }
        return true;
    case CellKind::Error:
        if (!IsErrorValueName(cell.text)) {
            error = where + " holds the unknown error value \"" + cell.text + "\"";
            return false;
        }
        return true;
    case CellKind::Empty:
    case CellKind::Boolean:
        return true;
    }
    return true;
}

bool CheckWorkbook(const WorkbookData& workbook, std::string& error)
{
    for (const SheetData& sheet : workbook.sheets) {
        for (const auto& [ref, cell] : sheet.cells) {
            if (!CheckCell(ref, cell, error))
                return false;
        }
    }
    return true;
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

struct CellFormats {
    lxw_format* wrapped; // shows a text's line breaks as lines of the cell
    lxw_format* dated;   // shows a serial number as a date and time
};

bool WriteSheet(lxw_worksheet* target, const SheetData& sheet, const CellFormats& formats,
                std::string& error)
{
    for (const auto& [ref, cell] : sheet.cells) {
        const lxw_row_t row = ref.row - 1;
        const lxw_col_t column = static_cast<lxw_col_t>(ref.column - 1);
        lxw_error result = LXW_NO_ERROR;
        switch (cell.kind) {
        case CellKind::Text:
            result = worksheet_write_string(
                target, row, column, EscapeXlsxLiterals(ToFileText(cell.text)).c_str(),
                cell.text.find('\n') == std::string::npos ? nullptr : formats.wrapped);
            break;
        case CellKind::Number:
            result = worksheet_write_number(target, row, column, cell.number, nullptr);
            break;
        case CellKind::Date:
            result = worksheet_write_number(target, row, column, cell.number, formats.dated);
            break;
        case CellKind::Boolean:
            result = worksheet_write_boolean(target, row, column, cell.boolean ? 1 : 0, nullptr);
            break;
        case CellKind::Error:
            result = worksheet_write_formula_str(target, row, column, cell.text.c_str(), nullptr,
                                                 cell.text.c_str());
            break;
        case CellKind::Empty:
            break;
        }
        if (result != LXW_NO_ERROR) {
            error = "cell " + CellName(ref.row, ref.column) + ": " + lxw_strerror(result);
            return false;
        }
    }
    for (const auto& [row, height] : sheet.rowHeights) {
        if (row >= 1 && row <= kMaxRows)
            worksheet_set_row(target, row - 1, height, nullptr);
    }
    for (const auto& [column, width] : sheet.columnWidths) {
        if (column >= 1 && column <= kMaxColumns) {
            const auto index = static_cast<lxw_col_t>(column - 1);
            worksheet_set_column(target, index, index, width, nullptr);
        }
    }
    const CellRef active = sheet.activeCell;
    if (active.row >= 1 && active.row <= kMaxRows && active.column >= 1 &&
        active.column <= kMaxColumns) {
        const auto column = static_cast<lxw_col_t>(active.column - 1);
        worksheet_set_selection(target, active.row - 1, column, active.row - 1, column);
    }
    return true;
}

bool WriteWorkbook(const WorkbookData& workbook, const std::string& path, std::string& error)
{
    lxw_workbook_options options{};
    std::unique_ptr<lxw_workbook, WorkbookCloser> target(workbook_new_opt(path.c_str(), &options));
    if (!target) {
        error = "cannot start an xlsx file";
        return false;
    }
    const CellFormats formats{workbook_add_format(target.get()), workbook_add_format(target.get())};
    if (formats.wrapped)
        format_set_text_wrap(formats.wrapped);
    if (formats.dated)
        format_set_num_format(formats.dated, "yyyy-mm-dd hh:mm:ss");
    const SheetData blank;
    const std::size_t count = workbook.sheets.empty() ? 1 : workbook.sheets.size();
    for (std::size_t i = 0; i < count; ++i) {
        const SheetData& sheet = workbook.sheets.empty() ? blank : workbook.sheets[i];
        const char* name = sheet.name.empty() ? nullptr : sheet.name.c_str();
        if (name && workbook_validate_sheet_name(target.get(), name) != LXW_NO_ERROR) {
            error = "the sheet name \"" + sheet.name + "\" cannot be used in an xlsx file";
            return false;
        }
        lxw_worksheet* worksheet = workbook_add_worksheet(target.get(), name);
        if (!worksheet) {
            error = "cannot add the sheet \"" + sheet.name + "\"";
            return false;
        }
        if (!WriteSheet(worksheet, sheet, formats, error))
            return false;
        if (i == workbook.activeSheet)
            worksheet_activate(worksheet);
    }
    const lxw_error closed = workbook_close(target.release());
    if (closed != LXW_NO_ERROR) {
        error = std::string("cannot write the xlsx file: ") + lxw_strerror(closed);
        return false;
    }
    return true;
}

} // namespace

bool WriteXlsxFile(const WorkbookData& workbook, const std::string& path, std::string& error)
{
    if (!CheckWorkbook(workbook, error))
        return false;
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0) {
        error = path + " already exists";
        return false;
    }
    const PrivateFolder temporary(path);
    if (!temporary.Created()) {
        error = SystemError("cannot create a folder in " + FolderOf(path));
        return false;
    }
    if (!WriteWorkbook(workbook, temporary.File(), error))
        return false;
    if (!SyncFile(temporary.File(), O_RDONLY)) {
        error = SystemError("cannot write " + temporary.File());
        return false;
    }
    if (!PublishWithoutReplacing(temporary.File(), path, error))
        return false;
    SyncFile(FolderOf(path), O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace zrv::sheet

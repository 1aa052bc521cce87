// ReadXls: Excel 95-2003 workbooks (BIFF5/BIFF8 in a compound file). The
// workbook stream is taken out with CCompoundFile and scanned record by
// record (CBiffScanner), which refuses what freexl cannot read safely and
// reads most cells itself. freexl reads the rest (sheet names and the texts
// of LABEL and RSTRING records, which may be in the file's code page); it
// never sees the file itself, but a fresh container in a temporary file
// holding the stream, so its container code only ever sees a well-formed
// one, and the records it would mishandle are hidden from it.

#include "sheet/io/CBiffScanner.h"
#include "sheet/io/CCompoundFile.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookLimits.h"

#include <cerrno>
#include <cstdlib>
#include <freexl.h>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace zrv::sheet {

namespace {

// A private temporary file holding `bytes`, removed again when it goes.
class TemporaryFile final {
public:
    explicit TemporaryFile(std::string_view bytes)
    {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/zrvsheet.XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            throw CReadError("cannot create a temporary file to read the xls file");
        m_path = pattern;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t got = write(fd, bytes.data() + written, bytes.size() - written);
            if (got <= 0 && errno != EINTR)
                break;
            written += got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        if (close(fd) != 0 || written != bytes.size())
            throw CReadError("cannot write a temporary file to read the xls file");
    }
    ~TemporaryFile() { unlink(m_path.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

struct FreexlCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using FreexlHandle = std::unique_ptr<const void, FreexlCloser>;

void Check(int result, const char* what)
{
    if (result == FREEXL_INSUFFICIENT_MEMORY)
        throw std::bad_alloc();
    if (result != FREEXL_OK)
        throw CReadError(std::string("damaged xls file (") + what + ", freexl error " +
                         std::to_string(result) + ")");
}

void PutScanned(CWorkbookBuilder& builder, std::size_t sheet,
                const std::map<CellRef, XlsCell>& cells, const std::vector<std::string>& strings)
{
    for (const auto& [ref, cell] : cells) {
        if (cell.sharedString == XlsCell::kNoString)
            builder.SetCell(sheet, ref.row, ref.column, cell.data);
        else
            builder.SetText(sheet, ref.row, ref.column, strings.at(cell.sharedString));
    }
}

// The texts freexl reads: LABEL and RSTRING cells; the scan has every other cell.
void ReadFreexlTexts(const void* handle, CWorkbookBuilder& builder, std::size_t sheet)
{
    unsigned int rows = 0;
    unsigned short columns = 0;
    Check(freexl_worksheet_dimensions(handle, &rows, &columns), "sheet size");
    if (uint64_t(rows) * columns > kMaxXlsSheetArea)
        throw CReadError("a sheet of the xls file is over the size limit");
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            Check(freexl_get_cell_value(handle, r, c, &value), "cell");
            if (value.type == FREEXL_CELL_TEXT && value.value.text_value)
                builder.SetText(sheet, r + 1, c + 1u, value.value.text_value);
        }
    }
}

void Hide(std::string& stream, std::size_t record)
{
    stream[record] = stream[record + 1] = '\xFF';
}

// freexl gives each sheet without a DIMENSIONS record (a chart sheet, a
// damaged one) a fresh copy of another sheet's cells and loses the last, so
// such sheets are hidden from it: their BOUNDSHEET records become records it
// skips, and the facts are renumbered to the sheets it still sees. The
// shared strings, which the scan reads, are hidden from it too.
void HideFromFreexl(std::string& stream, XlsFacts& facts)
{
    for (const std::size_t record : facts.freexlSkips)
        Hide(stream, record);
    XlsFacts kept;
    kept.sharedStrings = std::move(facts.sharedStrings);
    for (std::size_t i = 0; i < facts.sheetOffsets.size(); ++i) {
        if (!facts.sized[i]) {
            Hide(stream, facts.sheetRecords[i]);
            continue;
        }
        if (facts.activeTab == i)
            kept.activeTab = static_cast<uint32_t>(kept.sheetOffsets.size());
        kept.sheetOffsets.push_back(facts.sheetOffsets[i]);
        kept.cells.push_back(i < facts.cells.size() ? std::move(facts.cells[i])
                                                    : std::map<CellRef, XlsCell>());
    }
    facts = std::move(kept);
}

} // namespace

WorkbookData ReadXls(std::string_view bytes)
{
    const CCompoundFile container(bytes);
    auto stream = container.Stream("Workbook");
    if (!stream)
        stream = container.Stream("Book");
    if (!stream)
        throw CReadError("not a spreadsheet file (a compound file without a workbook)");
    XlsFacts facts = CBiffScanner(*stream).Scan();
    HideFromFreexl(*stream, facts);

    const TemporaryFile copy(CCompoundFile::WithWorkbookStream(*stream));
    const void* raw = nullptr;
    const int opened = freexl_open(copy.Path().c_str(), &raw);
    FreexlHandle handle(raw);
    Check(opened, "open");
    unsigned int password = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        throw CReadError("the file is password-protected");
    unsigned int count = 0;
    Check(freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &count), "sheet count");
    // The scan's sheet numbers are freexl's when both count the same sheets.
    if (count != facts.sheetOffsets.size())
        throw CReadError("damaged xls file (sheets that freexl counts differently)");

    CWorkbookBuilder builder;
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        Check(freexl_get_worksheet_name(handle.get(), static_cast<unsigned short>(i), &name),
              "sheet name");
        const std::size_t sheet = builder.AddSheet(name ? name : "");
        PutScanned(builder, sheet, facts.cells[i], facts.sharedStrings);
        Check(freexl_select_active_worksheet(handle.get(), static_cast<unsigned short>(i)),
              "sheet");
        ReadFreexlTexts(handle.get(), builder, sheet);
    }
    if (facts.activeTab)
        builder.SetActiveSheet(*facts.activeTab);
    return builder.Take();
}

} // namespace zrv::sheet

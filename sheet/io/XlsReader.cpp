// ReadXls: Excel 95-2003 workbooks (BIFF5/BIFF8 in a compound file) through
// freexl. freexl never sees the file itself: the workbook stream is taken out
// with CCompoundFile and put into a fresh container in a temporary file,
// which freexl reads, so freexl's container code only ever sees a well-formed
// one. Before that, the workbook stream is scanned here: every record must fit
// the format's record size and the stream (freexl reads past its buffer
// otherwise); every sheet's declared size (freexl allocates it densely) and
// the shared string table's declared count are bounded; a file with a
// password is refused; texts must lie within their records (BiffStrings.h).
// The scan also gives what freexl does not:
// the active sheet (WINDOW1) and booleans and error values (BOOLERR), which
// freexl reports as the numbers 1 and 0.

#include "sheet/io/BiffStrings.h"
#include "sheet/io/CCompoundFile.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookLimits.h"

#include <cerrno>
#include <cstdlib>
#include <freexl.h>
#include <map>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace zrv::sheet {

namespace {

// Cells freexl keeps for all sheets together (declared rows x columns, 16
// bytes each); it allocates them all when it opens the file.
constexpr uint64_t kMaxXlsSheetArea = 4u << 20;
constexpr std::size_t kMaxRecordLength = 8224; // BIFF8's limit (BIFF5: 2080)

enum Record : uint16_t {
    kBof = 0x0809,
    kContinue = 0x003C,
    kFormat = 0x041E,
    kLabel = 0x0204,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kWindow1 = 0x003D,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kDimensions = 0x0200,
    kBoolErr = 0x0205,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
};

bool IsCellRecord(uint16_t type)
{
    switch (type) {
    case 0x00FD: // LABELSST
    case 0x0203: // NUMBER
    case 0x027E: // RK
    case 0x0006: // FORMULA
    case 0x0201: // BLANK
    case 0x0204: // LABEL
    case 0x00D6: // RSTRING
    case kBoolErr:
    case kMulRk:
    case kMulBlank:
        return true;
    default:
        return false;
    }
}

uint32_t Little(std::string_view data, std::size_t offset, std::size_t bytes)
{
    uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        const std::size_t at = offset + i;
        value = value << 8 | (at < data.size() ? static_cast<unsigned char>(data[at]) : 0u);
    }
    return value;
}

std::string ErrorName(uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

struct WorkbookFacts {
    std::optional<uint32_t> activeTab;
    std::vector<uint32_t> sheetOffsets;    // BOUNDSHEET order
    std::vector<std::size_t> sheetRecords; // where each BOUNDSHEET record starts
    std::vector<bool> sized;               // the sheet's substream has a DIMENSIONS record
    std::vector<std::map<CellRef, CellData>> boolErr;
};

class BiffScanner final {
public:
    explicit BiffScanner(std::string_view stream) : m_stream(stream) {}

    WorkbookFacts Scan()
    {
        std::size_t pos = 0;
        while (pos + 4 <= m_stream.size()) {
            const auto type = static_cast<uint16_t>(Little(m_stream, pos, 2));
            const std::size_t length = Little(m_stream, pos + 2, 2);
            if (type == 0 && length == 0)
                break; // freexl takes this for the end of the stream
            // freexl copies records into a buffer of the format's largest
            // record and reads past it for longer ones, or past the stream.
            if (length > kMaxRecordLength)
                throw CReadError("damaged xls file (a record longer than the format allows)");
            if (pos + 4 + length > m_stream.size())
                throw CReadError("damaged xls file (a record past the end of the workbook)");
            Record(pos, type, m_stream.substr(pos + 4, length));
            pos += 4 + length;
        }
        if (!m_sstParts.empty())
            CheckSharedStrings();
        return std::move(m_facts);
    }

private:
    void Record(std::size_t pos, uint16_t type, std::string_view data)
    {
        if (!m_sstParts.empty()) {
            if (type == kContinue) {
                m_sstParts.push_back(data);
                return;
            }
            CheckSharedStrings();
        }
        if (type == kLabel)
            CheckString(m_biff8 ? UnicodeStringFits(data, 8, Little(data, 6, 2))
                                : 8 + Little(data, 6, 2) <= data.size());
        if (type == kBof) {
            if (!m_seenGlobals)
                Version(data);
            // Like freexl, a BOF before the last one's EOF (an embedded
            // chart) is part of the open substream.
            if (!m_inSubstream)
                BeginSubstream(pos);
            m_inSubstream = true;
        } else if (type == kEof) {
            EndSubstream();
        } else if (IsCellRecord(type) &&
                   (!m_inSubstream || m_inGlobals || !m_sheet || !m_sawDimensions)) {
            // freexl loses the text of a cell it has no sheet (or no cells) for
            throw CReadError("damaged xls file (a cell outside a sheet's cell table)");
        } else if (!m_inGlobals && (type == kBoundSheet || type == kSst)) {
            // freexl takes them wherever they stand: one more sheet, one more table
            throw CReadError("damaged xls file (a workbook record inside a sheet)");
        } else if (m_inGlobals) {
            Global(type, data);
        } else if (type == kDimensions) {
            Dimensions(data);
        } else if (IsCellRecord(type)) {
            Cell(type, data);
        }
    }

    void Global(uint16_t type, std::string_view data)
    {
        if (type == kFilePass)
            throw CReadError("the file is password-protected");
        if (type == kWindow1 && !m_facts.activeTab)
            m_facts.activeTab = Little(data, 10, 2);
        if (type == kBoundSheet) {
            m_facts.sheetOffsets.push_back(Little(data, 0, 4));
            m_facts.sheetRecords.push_back(static_cast<std::size_t>(data.data() - m_stream.data()) -
                                           4);
            m_facts.sized.push_back(false);
            const std::size_t characters = Little(data, 6, 1);
            CheckString(m_biff8 ? UnicodeStringFits(data, 7, characters)
                                : 7 + characters <= data.size());
        }
        if (type == kFormat) {
            CheckString(m_biff8
                            ? UnicodeStringFits(data, 4, Little(data, 2, 2))
                            : 3 + std::max(Little(data, 2, 1), Little(data, 3, 1)) <= data.size());
        }
        if (type == kSst) {
            if (m_sawSst)
                throw CReadError("damaged xls file (two shared string tables)");
            m_sawSst = true;
            m_sstUnique = Little(data, 4, 4);
            if (m_sstUnique > kMaxCells || m_sstUnique * 3 > m_stream.size())
                throw CReadError("the shared string table is over the size limit");
            m_sstParts.push_back(data.size() >= 8 ? data.substr(8) : std::string_view());
        }
    }

    void Version(std::string_view bof)
    {
        const uint32_t version = Little(bof, 0, 2);
        if (version != 0x0600 && version != 0x0500)
            throw CReadError("an xls version that cannot be read (BIFF5 and BIFF8 can)");
        m_biff8 = version == 0x0600;
    }

    // Strings past their record make freexl read past its buffer.
    static void CheckString(bool fits)
    {
        if (!fits)
            throw CReadError("damaged xls file (a text longer than its record)");
    }

    void CheckSharedStrings()
    {
        CheckString(!m_biff8 || SharedStringsFit(m_sstParts, m_sstUnique));
        m_sstParts.clear();
    }

    void BeginSubstream(std::size_t pos)
    {
        m_inGlobals = !m_seenGlobals;
        m_seenGlobals = true;
        m_sheet.reset();
        for (std::size_t i = 0; i < m_facts.sheetOffsets.size(); ++i) {
            if (m_facts.sheetOffsets[i] == pos)
                m_sheet = i;
        }
        m_declaredRows = m_declaredColumns = m_lastRow = m_lastColumn = 0;
        m_sawDimensions = false;
    }

    void EndSubstream()
    {
        if (!m_inGlobals && m_inSubstream)
            m_otherSheetsArea += Area();
        m_inGlobals = false;
        m_inSubstream = false;
    }

    void Cell(uint16_t type, std::string_view data)
    {
        const uint32_t row = Little(data, 0, 2);
        uint32_t column = Little(data, 2, 2);
        if ((type == kMulRk || type == kMulBlank) && data.size() >= 6)
            column = std::max(column, Little(data, data.size() - 2, 2));
        m_lastRow = std::max<uint64_t>(m_lastRow, row + 1);
        m_lastColumn = std::max<uint64_t>(m_lastColumn, column + 1);
        CheckArea();
        if (type == kBoolErr && m_sheet && data.size() >= 8) {
            if (m_facts.boolErr.size() <= *m_sheet)
                m_facts.boolErr.resize(*m_sheet + 1);
            CellData cell;
            if (data[7] == 0) {
                cell.kind = CellKind::Boolean;
                cell.boolean = data[6] != 0;
            } else {
                cell.kind = CellKind::Error;
                cell.text = ErrorName(static_cast<uint8_t>(data[6]));
            }
            m_facts.boolErr[*m_sheet][CellRef{row + 1, column + 1}] = cell;
        }
    }

    // freexl takes the layout from the workbook's version, reads it whatever
    // the record's length (a short one leaves it the previous record's bytes)
    // and allocates the sheet's cells for every DIMENSIONS record it meets.
    void Dimensions(std::string_view data)
    {
        if (data.size() < (m_biff8 ? 12u : 8u))
            throw CReadError("damaged xls file (a sheet size record too short)");
        if (m_sawDimensions)
            throw CReadError("damaged xls file (a sheet with two size records)");
        m_sawDimensions = true;
        if (m_sheet)
            m_facts.sized[*m_sheet] = true;
        m_declaredRows = Little(data, m_biff8 ? 4 : 2, m_biff8 ? 4 : 2);
        m_declaredColumns = Little(data, m_biff8 ? 10 : 6, 2);
        CheckArea();
    }

    uint64_t Area() const
    {
        return std::max(m_declaredRows, m_lastRow) * std::max(m_declaredColumns, m_lastColumn);
    }

    void CheckArea() const
    {
        if (Area() > kMaxXlsSheetArea - m_otherSheetsArea)
            throw CReadError("the sheets of the xls file are over the size limit (" +
                             std::to_string(kMaxXlsSheetArea) + " cells)");
    }

    std::string_view m_stream;
    WorkbookFacts m_facts;
    bool m_biff8 = true;
    std::vector<std::string_view> m_sstParts;
    uint64_t m_sstUnique = 0;
    bool m_sawSst = false;
    bool m_seenGlobals = false;
    bool m_inGlobals = false;
    bool m_inSubstream = false;
    std::optional<std::size_t> m_sheet;
    bool m_sawDimensions = false;
    uint64_t m_declaredRows = 0;
    uint64_t m_declaredColumns = 0;
    uint64_t m_lastRow = 0;
    uint64_t m_lastColumn = 0;
    uint64_t m_otherSheetsArea = 0; // of the sheets before this one
};

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

void ReadSheet(const void* handle, CWorkbookBuilder& builder, std::size_t sheet,
               const std::map<CellRef, CellData>* boolErr)
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
            const uint32_t row = r + 1, column = c + 1u;
            switch (value.type) {
            case FREEXL_CELL_INT:
            case FREEXL_CELL_DOUBLE:
                if (boolErr) {
                    if (const auto found = boolErr->find({row, column}); found != boolErr->end()) {
                        if (found->second.kind == CellKind::Boolean)
                            builder.SetBoolean(sheet, row, column, found->second.boolean);
                        else
                            builder.SetError(sheet, row, column, found->second.text);
                        break;
                    }
                }
                builder.SetNumber(sheet, row, column,
                                  value.type == FREEXL_CELL_INT ? value.value.int_value
                                                                : value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (value.value.text_value)
                    builder.SetText(sheet, row, column, value.value.text_value);
                break;
            default:
                break;
            }
        }
    }
}

// freexl gives each sheet without a DIMENSIONS record (a chart sheet, a
// damaged one) a fresh copy of another sheet's cells and loses the last, so
// such sheets are hidden from it: their BOUNDSHEET records become records it
// skips. The facts are renumbered to the sheets it still sees.
void HideSheetsWithoutSize(std::string& stream, WorkbookFacts& facts)
{
    WorkbookFacts kept;
    for (std::size_t i = 0; i < facts.sheetOffsets.size(); ++i) {
        if (!facts.sized[i]) {
            stream[facts.sheetRecords[i]] = stream[facts.sheetRecords[i] + 1] = '\xFF';
            continue;
        }
        if (facts.activeTab == i)
            kept.activeTab = static_cast<uint32_t>(kept.sheetOffsets.size());
        kept.sheetOffsets.push_back(facts.sheetOffsets[i]);
        kept.boolErr.push_back(i < facts.boolErr.size() ? std::move(facts.boolErr[i])
                                                        : std::map<CellRef, CellData>());
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
    WorkbookFacts facts = BiffScanner(*stream).Scan();
    HideSheetsWithoutSize(*stream, facts);

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
    const bool sameSheets = count == facts.sheetOffsets.size();

    CWorkbookBuilder builder;
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        Check(freexl_get_worksheet_name(handle.get(), static_cast<unsigned short>(i), &name),
              "sheet name");
        const std::size_t sheet = builder.AddSheet(name ? name : "");
        Check(freexl_select_active_worksheet(handle.get(), static_cast<unsigned short>(i)),
              "sheet");
        const bool known = sameSheets && i < facts.boolErr.size();
        ReadSheet(handle.get(), builder, sheet, known ? &facts.boolErr[i] : nullptr);
    }
    if (sameSheets && facts.activeTab)
        builder.SetActiveSheet(*facts.activeTab);
    return builder.Take();
}

} // namespace zrv::sheet

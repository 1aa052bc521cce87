// ReadCsv: comma-separated values as RFC 4180 describes them, in UTF-8 with
// or without a byte order mark; a plain text file is one column of lines.
// Records end with CR LF or LF; a quoted field may hold commas, quotes ("")
// and line breaks. Lenient where the RFC is strict: text after a closing
// quote is kept, and a quote left open runs to the end of the file.
//
// An unquoted field reads as a number only in the form a number is shown
// ("42", "-3.5", "0.25": no leading zeros, sign or exponent, no trailing
// fractional zeros, at most 15 digits), so the text comes back unchanged;
// "0042", "1.50", "+7" and "1e3" stay texts, as does every quoted field.
// Unquoted TRUE and FALSE read as booleans.

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"

#include <charconv>

namespace zrv::sheet {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsShownNumber(std::string_view field)
{
    std::size_t i = field.starts_with('-') ? 1 : 0;
    const std::size_t start = i;
    while (i < field.size() && IsDigit(field[i]))
        ++i;
    const std::size_t integerDigits = i - start;
    if (integerDigits == 0 || (integerDigits > 1 && field[start] == '0') || field == "-0")
        return false;
    std::size_t fractionDigits = 0;
    if (i < field.size() && field[i] == '.') {
        ++i;
        while (i < field.size() && IsDigit(field[i])) {
            ++i;
            ++fractionDigits;
        }
        if (fractionDigits == 0 || field.back() == '0')
            return false;
    }
    const std::size_t significant = integerDigits + fractionDigits - (field[start] == '0' ? 1 : 0);
    return i == field.size() && significant <= 15;
}

class CsvParser final {
public:
    CsvParser(std::string_view text, CWorkbookBuilder& builder, std::size_t sheet)
        : m_text(text), m_builder(builder), m_sheet(sheet)
    {}

    void Parse()
    {
        while (m_pos < m_text.size()) {
            const bool quoted = m_text[m_pos] == '"';
            std::string field = quoted ? QuotedField() : std::string(UnquotedField());
            Store(field, quoted);
            if (m_pos >= m_text.size())
                break;
            if (m_text[m_pos] == ',') {
                ++m_pos;
                ++m_column;
                if (m_pos == m_text.size())
                    break;
                continue;
            }
            // A record ends at LF or CR LF.
            m_pos += m_text[m_pos] == '\r' ? 2 : 1;
            ++m_row;
            m_column = 1;
        }
    }

private:
    bool AtRecordEnd() const
    {
        const char c = m_text[m_pos];
        return c == '\n' || (c == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n');
    }

    std::string_view UnquotedField()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !AtRecordEnd())
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    std::string QuotedField()
    {
        std::string field;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const auto quote = m_text.find('"', m_pos);
            if (quote == std::string_view::npos) {
                field.append(m_text.substr(m_pos));
                m_pos = m_text.size();
                return field;
            }
            field.append(m_text.substr(m_pos, quote - m_pos));
            m_pos = quote + 1;
            if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                field += '"';
                ++m_pos;
                continue;
            }
            break;
        }
        field.append(UnquotedField());
        return field;
    }

    void Store(std::string_view field, bool quoted)
    {
        if (field.empty())
            return;
        if (!quoted && IsShownNumber(field)) {
            double number = 0;
            std::from_chars(field.data(), field.data() + field.size(), number);
            m_builder.SetNumber(m_sheet, m_row, m_column, number);
        } else if (!quoted && (field == "TRUE" || field == "FALSE")) {
            m_builder.SetBoolean(m_sheet, m_row, m_column, field == "TRUE");
        } else {
            m_builder.SetText(m_sheet, m_row, m_column, field);
        }
    }

    std::string_view m_text;
    CWorkbookBuilder& m_builder;
    std::size_t m_sheet;
    std::size_t m_pos = 0;
    uint32_t m_row = 1;
    uint32_t m_column = 1;
};

} // namespace

WorkbookData ReadCsv(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos || !IsValidUtf8(bytes))
        throw CReadError("not a spreadsheet file (neither xlsx, xls, ods nor UTF-8 text)");
    CWorkbookBuilder builder;
    const std::size_t sheet = builder.AddSheet("Sheet1");
    CsvParser(bytes, builder, sheet).Parse();
    return builder.Take();
}

} // namespace zrv::sheet

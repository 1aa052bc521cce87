#include "sheet/model/CellAddress.h"

namespace zrv::sheet {

namespace {

bool IsLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<uint32_t> ParseColumnLetters(std::u16string_view text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    uint32_t column = 0;
    for (const char16_t c : text) {
        if (!IsLetter(c))
            return std::nullopt;
        const char16_t upper = c >= u'a' ? static_cast<char16_t>(c - u'a' + u'A') : c;
        column = column * 26 + static_cast<uint32_t>(upper - u'A' + 1);
    }
    if (column > kMaxColumn)
        return std::nullopt;
    return column;
}

std::optional<uint32_t> ParseRowNumber(std::u16string_view text)
{
    if (text.empty() || text.size() > 7 || text.front() == u'0')
        return std::nullopt;
    uint32_t row = 0;
    for (const char16_t c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        row = row * 10 + static_cast<uint32_t>(c - u'0');
    }
    if (row > kMaxRow)
        return std::nullopt;
    return row;
}

std::optional<CellRef> ParseCellAddress(std::u16string_view text)
{
    size_t letters = 0;
    while (letters < text.size() && IsLetter(text[letters]))
        ++letters;
    const std::optional<uint32_t> column = ParseColumnLetters(text.substr(0, letters));
    const std::optional<uint32_t> row = ParseRowNumber(text.substr(letters));
    if (!column || !row)
        return std::nullopt;
    return CellRef{*row, *column};
}

} // namespace zrv::sheet

#include "editor/editing/modFortuneRows.h"

#include "runtime/com/AnsiText.h"

namespace modFortuneRows {

namespace {

constexpr std::u16string_view kLineBreaks = u"\r\n";

// The part of an appended text the archive keeps: without the line breaks at
// its ends.
std::u16string_view Trimmed(std::u16string_view text)
{
    const size_t last = text.find_last_not_of(kLineBreaks);
    if (last == std::u16string_view::npos)
        return {};
    const size_t first = text.find_first_not_of(kLineBreaks);
    return text.substr(first, last - first + 1);
}

// The line as it comes back from the archive's code page. A line feed never
// falls inside a character of it, so the line converts as it would within
// the whole text.
QString StoredLine(std::u16string_view line)
{
    bool plain = true;
    for (const char16_t c : line)
        plain = plain && c < 0x80;
    if (plain)
        return QString(reinterpret_cast<const QChar*>(line.data()),
                       static_cast<qsizetype>(line.size()));
    const std::u16string stored = zrv::com::FromAnsi(zrv::com::ToAnsi(line));
    return QString::fromUtf16(stored.data(), static_cast<qsizetype>(stored.size()));
}

} // namespace

QString FirstLine(std::u16string_view fortune)
{
    const size_t lineFeed = fortune.find(u'\n');
    size_t end = lineFeed == std::u16string_view::npos ? fortune.size() : lineFeed;
    if (lineFeed != std::u16string_view::npos && end > 0 && fortune[end - 1] == u'\r')
        --end;
    return QString(reinterpret_cast<const QChar*>(fortune.data()), static_cast<qsizetype>(end));
}

QList<QString> AppendedRows(const std::vector<BString>& texts)
{
    QList<QString> rows;
    rows.reserve(static_cast<qsizetype>(texts.size()));
    for (const BString& text : texts) {
        const std::u16string_view kept = Trimmed(text.view());
        if (kept.empty())
            continue;
        const QString line = FirstLine(kept);
        rows.append(StoredLine(std::u16string_view(reinterpret_cast<const char16_t*>(line.utf16()),
                                                   static_cast<size_t>(line.size()))));
    }
    return rows;
}

} // namespace modFortuneRows

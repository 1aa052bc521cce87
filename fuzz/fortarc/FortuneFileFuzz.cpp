// Any input read as a fortune(6) file (and as an index header) must not fail;
// its entries, written again by the builder, must split into the same entries,
// and the index must point at each of them and end at the end of the text.

#include "fortarc/FortuneFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

uint32_t At(const std::string& index, size_t position)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(index[position + i]);
    return value;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// strfile's rule read line by line: a line of only "%" ends an entry, an
// empty entry is skipped, an entry loses the line end before its delimiter.
std::vector<std::string_view> LineByLine(std::string_view text)
{
    std::vector<std::string_view> entries;
    size_t entryStart = 0;
    const auto finish = [&](size_t end) {
        if (end > entryStart)
            entries.push_back(text.substr(entryStart, end - entryStart - (text[end - 1] == '\n')));
    };
    for (size_t lineStart = 0; lineStart < text.size();) {
        const size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            break;
        if (text.substr(lineStart, lineEnd - lineStart) == "%") {
            finish(lineStart);
            entryStart = lineEnd + 1;
        }
        lineStart = lineEnd + 1;
    }
    finish(text.size());
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    (void)fortarc::ParseStrfileHeader(input);
    const bool rotated = size > 0 && (data[0] & 1) != 0;
    std::string text(input);
    const auto entries = fortarc::SplitFortuneText(text, '%');
    Require(entries == LineByLine(text));
    if (rotated)
        fortarc::Rot13(text);

    fortarc::CFortuneFileBuilder builder;
    std::vector<std::string> kept;
    for (const std::string_view entry : entries) {
        // An entry whose last line is "%" (the input ended without a line
        // end) cannot be written; the export refuses it before the builder.
        if (entry == "%" || (entry.size() >= 2 && entry.compare(entry.size() - 2, 2, "\n%") == 0))
            continue;
        Require(builder.Append(entry));
        if (!entry.empty())
            kept.emplace_back(entry);
    }
    const auto again = fortarc::SplitFortuneText(builder.Text(), '%');
    Require(again.size() == kept.size());

    const std::string index = builder.Index();
    const auto header = fortarc::ParseStrfileHeader(index);
    Require(header && header->count == kept.size() && header->delimiter == '%');
    Require(index.size() == 24 + 4 * (kept.size() + 1));
    for (size_t i = 0; i < kept.size(); ++i) {
        // Each entry starts at its offset and, written with a line end that
        // reading takes off again, comes back exactly, blank lines included.
        const std::string_view text = builder.Text();
        const uint32_t start = At(index, 24 + 4 * i);
        Require(text.substr(start, kept[i].size() + 1) == kept[i] + '\n');
        Require(again[i] == kept[i]);
    }
    Require(At(index, index.size() - 4) == builder.Text().size());
    return 0;
}

// The clipboard text splitter against a plain reading of the format: while
// the text begins with the marker (any letter case), drop it and cut the text
// at the next marker found in an upper-cased copy. Also: records built from
// texts without a marker split back into the same texts.

#include "editor/editing/modClipboardFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::vector<std::string> ReferenceSplit(std::string text)
{
    const std::string marker(modClipboardFormat::Marker);
    std::vector<std::string> fortunes;
    while (Upper(text.substr(0, marker.size())) == marker) {
        text.erase(0, marker.size());
        const size_t next = Upper(text).find(marker);
        if (next == std::string::npos) {
            fortunes.push_back(text);
            text.clear();
        } else {
            fortunes.push_back(text.substr(0, next));
            text.erase(0, next);
        }
    }
    return fortunes;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> split = modClipboardFormat::SplitFortunes(text);
    const std::vector<std::string> reference = ReferenceSplit(text);
    Require(split.size() == reference.size());
    for (size_t i = 0; i < split.size(); ++i)
        Require(split[i] == reference[i]);

    // The input's halves as two fortunes come back as they were, unless the
    // first half's end and the next marker form a marker of their own.
    const std::string marker(modClipboardFormat::Marker);
    const std::string_view first = std::string_view(text).substr(0, size / 2);
    const std::string_view second = std::string_view(text).substr(size / 2);
    if (Upper(text).find(marker) == std::string::npos &&
        Upper(std::string(first) + marker).find(marker) == first.size()) {
        std::string records;
        modClipboardFormat::AppendRecord(records, first);
        modClipboardFormat::AppendRecord(records, second);
        const std::vector<std::string_view> back = modClipboardFormat::SplitFortunes(records);
        Require(back.size() == 2 && back[0] == first && back[1] == second);
    }
    return 0;
}

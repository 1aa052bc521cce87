#include "editor/editing/modClipboardFormat.h"

#include <cstring>

namespace modClipboardFormat {

namespace {

constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MarkerAt(std::string_view text, size_t position)
{
    if (text.size() - position < Marker.size())
        return false;
    for (size_t i = 0; i < Marker.size(); ++i) {
        if (LowerAscii(text[position + i]) != LowerAscii(Marker[i]))
            return false;
    }
    return true;
}

// Start of the next marker at or after from; npos when there is none. The
// marker begins with '/', which has no other letter case, so memchr finds
// every candidate.
size_t FindMarker(std::string_view text, size_t from)
{
    while (from < text.size()) {
        const void* const slash =
            std::memchr(text.data() + from, Marker.front(), text.size() - from);
        if (slash == nullptr)
            return std::string_view::npos;
        const size_t position = static_cast<size_t>(static_cast<const char*>(slash) - text.data());
        if (MarkerAt(text, position))
            return position;
        from = position + 1;
    }
    return std::string_view::npos;
}

} // namespace

void AppendRecord(std::string& rsText, std::string_view vsFortune)
{
    rsText.append(Marker);
    rsText.append(vsFortune);
}

std::vector<std::string_view> SplitFortunes(std::string_view vsText)
{
    std::vector<std::string_view> fortunes;
    if (!MarkerAt(vsText, 0))
        return fortunes;
    size_t start = Marker.size();
    for (;;) {
        const size_t next = FindMarker(vsText, start);
        if (next == std::string_view::npos) {
            fortunes.push_back(vsText.substr(start));
            return fortunes;
        }
        fortunes.push_back(vsText.substr(start, next - start));
        start = next + Marker.size();
    }
}

} // namespace modClipboardFormat

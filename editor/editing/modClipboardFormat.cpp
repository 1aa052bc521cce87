#include "editor/editing/modClipboardFormat.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace modClipboardFormat {

namespace {

// The marker in two 8-byte words, its letters in lower case, and the bit that
// folds an upper-case ASCII letter to lower case at each letter's place. A
// byte or'ed with 0x20 equals a lower-case letter only when it is that letter
// in either case; the slashes are compared as they are.
constexpr uint64_t Word(std::string_view bytes)
{
    uint64_t word = 0;
    for (size_t i = 0; i < 8; ++i)
        word |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return word;
}

using namespace std::string_view_literals;
constexpr std::string_view kLowerMarker = "//zorvafortune//"sv;
constexpr std::string_view kFoldBits = "\0\0\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\0\0"sv;
static_assert(kLowerMarker.size() == Marker.size() && kFoldBits.size() == Marker.size());
constexpr uint64_t kLowerHead = Word(kLowerMarker);
constexpr uint64_t kLowerTail = Word(kLowerMarker.substr(8));
constexpr uint64_t kFoldHead = Word(kFoldBits);
constexpr uint64_t kFoldTail = Word(kFoldBits.substr(8));

uint64_t LoadWord(const char* bytes)
{
    uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

bool MarkerAt(std::string_view text, size_t position)
{
    static_assert(std::endian::native == std::endian::little);
    if (text.size() - position < Marker.size())
        return false;
    const char* const bytes = text.data() + position;
    return (LoadWord(bytes) | kFoldHead) == kLowerHead &&
           (LoadWord(bytes + 8) | kFoldTail) == kLowerTail;
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
    // Room for as many records as the text could hold: only the pages the
    // records fill are ever touched, and nothing is moved while it grows.
    fortunes.reserve(vsText.size() / Marker.size());
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

#pragma once

// The files of fortune(6): a text of entries, each ending with a line that
// holds only the delimiter ("%"), and the index strfile(1) writes beside it
// (NAME.dat): six 32-bit big-endian header fields (version 2, number of
// entries, longest and shortest entry length, flags, and the delimiter in the
// first byte of the last one), then the start offset of every entry and the
// end of the last one, 32-bit big-endian. An entry's length counts its text
// with its final line end, not the delimiter line; empty entries are skipped.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fortarc {

constexpr uint32_t kStrfileRotated = 0x4;
constexpr size_t kStrfileHeaderSize = 24;

// Builds both files in memory.
class CFortuneFileBuilder final {
public:
    // `text` has LF line ends and holds no line that is only the delimiter. An
    // empty text is left out, as strfile would skip it; every other gets a
    // final line end, so that blank lines at its end stay part of it. False
    // when the file would outgrow 32-bit offsets.
    bool Append(std::string_view text);
    // Room for `bytes` of text and `entries` entries, to fill without
    // growing; a guess that is off costs only a reallocation.
    void Reserve(size_t bytes, size_t entries);
    size_t Entries() const { return m_offsets.size(); }
    const std::string& Text() const { return m_text; }
    std::string Index() const;

private:
    std::string m_text;
    std::vector<uint32_t> m_offsets; // start of each entry
    uint32_t m_longest = 0;
    uint32_t m_shortest = 0;
};

struct StrfileHeader {
    uint32_t version = 0;
    uint32_t count = 0;
    uint32_t flags = 0;
    char delimiter = '%';
};

// The header of an index file; nullopt when the bytes are not one.
std::optional<StrfileHeader> ParseStrfileHeader(std::string_view bytes);

// The largest index strfile could write for a text of `textSize` bytes: one
// offset for each byte (entries are never empty) and one for the end.
uint64_t LargestStrfileIndex(uint64_t textSize);

// True when `index` is, in every field, an index strfile could have written
// for a text of `textSize` bytes: its size fits its count, every start lies
// inside the text (in any order: strfile may sort or shuffle them) and the
// final offset is the text's end.
bool IsStrfileIndexOf(std::string_view index, uint64_t textSize);

// The entries of a fortune(6) text in file order, as strfile delimits them,
// as views into `text`: a delimiter line is the delimiter followed by LF;
// empty entries are skipped; each entry loses the line end before its
// delimiter line.
std::vector<std::string_view> SplitFortuneText(std::string_view text, char delimiter);

// Letters turned by ROT13, in place (a rotated file's text back to plain).
void Rot13(std::string& text);

} // namespace fortarc

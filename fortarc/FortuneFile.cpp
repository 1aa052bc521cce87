#include "fortarc/FortuneFile.h"

#include <algorithm>
#include <limits>

namespace fortarc {

namespace {

constexpr uint32_t kVersion = 2;
// Random, ordered, rotated, comments: the flags strfile knows.
constexpr uint32_t kKnownFlags = 0xF;

void PutBigEndian(std::string& out, uint32_t value)
{
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

uint32_t GetBigEndian(std::string_view bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

char RotateLetter(char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<char>('a' + (c - 'a' + 13) % 26);
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>('A' + (c - 'A' + 13) % 26);
    return c;
}

} // namespace

bool CFortuneFileBuilder::Append(std::string_view text)
{
    if (text.empty())
        return true;
    const size_t length = text.size() + 1;
    // The entry, its delimiter line, and room for the final end offset.
    if (m_text.size() + length + 2 > std::numeric_limits<uint32_t>::max())
        return false;
    m_offsets.push_back(static_cast<uint32_t>(m_text.size()));
    m_text += text;
    m_text += "\n%\n";
    const auto entryLength = static_cast<uint32_t>(length);
    m_longest = std::max(m_longest, entryLength);
    m_shortest = m_offsets.size() == 1 ? entryLength : std::min(m_shortest, entryLength);
    return true;
}

void CFortuneFileBuilder::Reserve(size_t bytes, size_t entries)
{
    m_text.reserve(bytes);
    m_offsets.reserve(entries);
}

std::string CFortuneFileBuilder::Index() const
{
    std::string index;
    index.reserve(kStrfileHeaderSize + 4 * (m_offsets.size() + 1));
    PutBigEndian(index, kVersion);
    PutBigEndian(index, static_cast<uint32_t>(m_offsets.size()));
    PutBigEndian(index, m_longest);
    PutBigEndian(index, m_shortest);
    PutBigEndian(index, 0); // flags: entries in file order, not rotated
    index += '%';
    index.append(3, '\0');
    for (const uint32_t offset : m_offsets)
        PutBigEndian(index, offset);
    PutBigEndian(index, static_cast<uint32_t>(m_text.size()));
    return index;
}

std::optional<StrfileHeader> ParseStrfileHeader(std::string_view bytes)
{
    if (bytes.size() < kStrfileHeaderSize)
        return std::nullopt;
    StrfileHeader header;
    header.version = GetBigEndian(bytes, 0);
    header.count = GetBigEndian(bytes, 4);
    header.flags = GetBigEndian(bytes, 16);
    header.delimiter = bytes[20];
    if (header.version < 1 || header.version > kVersion || header.delimiter == '\0' ||
        header.delimiter == '\n')
        return std::nullopt;
    return header;
}

uint64_t LargestStrfileIndex(uint64_t textSize)
{
    return kStrfileHeaderSize + 4 * (textSize + 1);
}

bool IsStrfileIndexOf(std::string_view index, uint64_t textSize)
{
    const std::optional<StrfileHeader> header = ParseStrfileHeader(index);
    if (!header || (header->flags & ~kKnownFlags) != 0 || header->count > textSize ||
        index.size() != kStrfileHeaderSize + 4 * (static_cast<uint64_t>(header->count) + 1))
        return false;
    const uint32_t longest = GetBigEndian(index, 8);
    const uint32_t shortest = GetBigEndian(index, 12);
    if (longest > textSize || shortest > longest)
        return false;
    for (uint32_t i = 0; i < header->count; ++i)
        if (GetBigEndian(index, kStrfileHeaderSize + 4 * static_cast<size_t>(i)) >= textSize)
            return false;
    return GetBigEndian(index, index.size() - 4) == textSize;
}

std::vector<std::string_view> SplitFortuneText(std::string_view text, char delimiter)
{
    std::vector<std::string_view> entries;
    size_t entryStart = 0;
    const auto finishEntry = [&](size_t end) {
        if (end <= entryStart)
            return;
        const size_t length = end - entryStart;
        entries.push_back(text.substr(entryStart, length - (text[end - 1] == '\n' ? 1 : 0)));
    };
    // A delimiter line is found from its delimiter: rare, where line ends are not.
    for (size_t at = text.find(delimiter); at != std::string_view::npos;
         at = text.find(delimiter, at + 1)) {
        const bool lineStart = at == 0 || text[at - 1] == '\n';
        if (lineStart && at + 1 < text.size() && text[at + 1] == '\n') {
            finishEntry(at);
            entryStart = at + 2;
        }
    }
    finishEntry(text.size());
    return entries;
}

void Rot13(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(), RotateLetter);
}

} // namespace fortarc

#include "sheet/io/BiffStrings.h"

#include <algorithm>

namespace zrv::sheet {

namespace {

constexpr unsigned char kHighByte = 0x01;
constexpr unsigned char kExtended = 0x04;
constexpr unsigned char kRich = 0x08;

// Reads through the parts of a record that CONTINUE records carry on.
class Cursor final {
public:
    explicit Cursor(const std::vector<std::string_view>& parts) : m_parts(parts) {}

    bool Byte(uint32_t& value)
    {
        SkipEmpty();
        if (m_part >= m_parts.size())
            return false;
        value = static_cast<unsigned char>(m_parts[m_part][m_offset++]);
        return true;
    }

    bool Number(std::size_t bytes, uint32_t& value)
    {
        value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            uint32_t byte = 0;
            if (!Byte(byte))
                return false;
            value |= byte << (8 * i);
        }
        return true;
    }

    bool Skip(uint64_t bytes)
    {
        while (bytes > 0) {
            SkipEmpty();
            if (m_part >= m_parts.size())
                return false;
            const std::size_t step = static_cast<std::size_t>(std::min<uint64_t>(bytes, Left()));
            m_offset += step;
            bytes -= step;
        }
        return true;
    }

    // Characters of `width` bytes; at the end of a part they go on in the
    // next one after its flags byte.
    bool Characters(uint64_t count, std::size_t width)
    {
        while (count > 0) {
            const std::size_t fit = m_part < m_parts.size() ? Left() / width : 0;
            if (fit == 0) {
                if (++m_part >= m_parts.size())
                    return false;
                m_offset = 0;
                uint32_t flags = 0;
                if (!Byte(flags))
                    return false;
                width = flags & kHighByte ? 2 : 1;
                continue;
            }
            const uint64_t step = std::min<uint64_t>(count, fit);
            m_offset += static_cast<std::size_t>(step * width);
            count -= step;
        }
        return true;
    }

private:
    std::size_t Left() const { return m_parts[m_part].size() - m_offset; }
    void SkipEmpty()
    {
        while (m_part < m_parts.size() && m_offset >= m_parts[m_part].size()) {
            ++m_part;
            m_offset = 0;
        }
    }

    const std::vector<std::string_view>& m_parts;
    std::size_t m_part = 0;
    std::size_t m_offset = 0;
};

} // namespace

bool UnicodeStringFits(std::string_view data, std::size_t offset, std::size_t characters)
{
    if (offset >= data.size())
        return characters == 0 && offset == data.size();
    const auto flags = static_cast<unsigned char>(data[offset]);
    const std::size_t need = 1 + (flags & kRich ? 2 : 0) + (flags & kExtended ? 4 : 0) +
                             characters * (flags & kHighByte ? 2 : 1);
    return need <= data.size() - offset;
}

bool SharedStringsFit(const std::vector<std::string_view>& parts, uint64_t count)
{
    Cursor cursor(parts);
    for (uint64_t i = 0; i < count; ++i) {
        uint32_t characters = 0, flags = 0, runs = 0, extension = 0;
        if (!cursor.Number(2, characters) || !cursor.Byte(flags))
            return false;
        if ((flags & kRich) && !cursor.Number(2, runs))
            return false;
        if ((flags & kExtended) && !cursor.Number(4, extension))
            return false;
        if (!cursor.Characters(characters, flags & kHighByte ? 2 : 1) ||
            !cursor.Skip(4ull * runs) || !cursor.Skip(extension))
            return false;
    }
    return true;
}

} // namespace zrv::sheet

#pragma once

// Owner of one BSTR: frees it with SysFreeString when it goes.

#include "runtime/com/OleAuto.h"

#include <string_view>
#include <utility>

class BString final {
public:
    BString() = default;
    explicit BString(std::u16string_view text)
        : m_s(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {}
    BString(const BString& other)
        : m_s(other.m_s ? SysAllocStringLen(other.m_s, other.length()) : nullptr)
    {}
    BString(BString&& other) noexcept : m_s(std::exchange(other.m_s, nullptr)) {}
    ~BString() { SysFreeString(m_s); }

    BString& operator=(BString other) noexcept
    {
        std::swap(m_s, other.m_s);
        return *this;
    }

    // Adopts a string the caller owns.
    static BString attach(BSTR s)
    {
        BString result;
        result.m_s = s;
        return result;
    }
    BSTR detach() { return std::exchange(m_s, nullptr); }

    BSTR get() const { return m_s; }
    UINT length() const { return SysStringLen(m_s); }
    std::u16string_view view() const
    {
        return m_s ? std::u16string_view(m_s, length()) : std::u16string_view();
    }

    // For out-parameters: frees what is held and hands out the slot.
    BSTR* put()
    {
        SysFreeString(std::exchange(m_s, nullptr));
        return &m_s;
    }

private:
    BSTR m_s = nullptr;
};

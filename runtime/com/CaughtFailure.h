#pragma once

// The result of a failure that arrives as an exception, for code that must
// answer with an HRESULT. Header only, for the server libraries.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zrv::com {

// Installs error information with `description`, `iid` and `source`.
inline void SetErrorDescription(std::u16string_view description, const GUID& iid,
                                const char16_t* source) noexcept
{
    try {
        const std::u16string text(description);
        ComPtr<ICreateErrorInfo> create;
        if (FAILED(CreateErrorInfo(create.put())))
            return;
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(source));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.queryInterface(IID_IErrorInfo, info)))
            SetErrorInfo(0, info.get());
    } catch (...) {
        // Only std::bad_alloc: the caller's result code still tells.
    }
}

// The same with an exception's message; bytes above ASCII become '?'.
inline void SetErrorMessage(const char* message, const GUID& iid, const char16_t* source) noexcept
{
    try {
        std::u16string description;
        for (const char* c = message ? message : ""; *c; ++c)
            description += static_cast<unsigned char>(*c) < 0x80 ? static_cast<char16_t>(*c) : u'?';
        SetErrorDescription(description, iid, source);
    } catch (...) {
        // Only std::bad_alloc, as above.
    }
}

// For use inside a catch block: std::bad_alloc gives E_OUTOFMEMORY; a
// std::logic_error (an argument the code cannot serve, such as a length out
// of range) E_INVALIDARG; another std::exception E_FAIL; anything else
// E_UNEXPECTED. Except for std::bad_alloc, the exception's message becomes the
// thread's error information, with `iid` and `source`.
inline HRESULT CaughtFailure(const GUID& iid, const char16_t* source) noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::logic_error& error) {
        SetErrorMessage(error.what(), iid, source);
        return E_INVALIDARG;
    } catch (const std::exception& error) {
        SetErrorMessage(error.what(), iid, source);
        return E_FAIL;
    } catch (...) {
        SetErrorMessage("Unknown error", iid, source);
        return E_UNEXPECTED;
    }
}

} // namespace zrv::com

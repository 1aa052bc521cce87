#pragma once

// The result of a failure that arrives as an exception, for code that must
// answer with an HRESULT. Header only, for the server libraries.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <new>
#include <stdexcept>
#include <string>

namespace zrv::com {

// Installs error information with `message` (bytes above ASCII become '?'),
// `iid` and `source`. Never throws: without memory nothing is installed.
inline void SetErrorMessage(const char* message, const GUID& iid, const char16_t* source) noexcept
{
    try {
        std::u16string description;
        for (const char* c = message ? message : ""; *c; ++c)
            description += static_cast<unsigned char>(*c) < 0x80 ? static_cast<char16_t>(*c) : u'?';
        ComPtr<ICreateErrorInfo> create;
        if (FAILED(CreateErrorInfo(create.put())))
            return;
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(source));
        create->SetDescription(description.data());
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.queryInterface(IID_IErrorInfo, info)))
            SetErrorInfo(0, info.get());
    } catch (...) {
        // Only std::bad_alloc: the result code still tells the caller.
    }
}

// For use inside a catch block: std::bad_alloc gives E_OUTOFMEMORY; an
// argument the code cannot serve (std::invalid_argument, std::length_error,
// std::out_of_range) E_INVALIDARG; another std::exception E_FAIL; anything
// else E_UNEXPECTED. Except for std::bad_alloc, the exception's message
// becomes the thread's error information, with `iid` and `source`.
inline HRESULT CaughtFailure(const GUID& iid, const char16_t* source) noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::invalid_argument& error) {
        SetErrorMessage(error.what(), iid, source);
        return E_INVALIDARG;
    } catch (const std::length_error& error) {
        SetErrorMessage(error.what(), iid, source);
        return E_INVALIDARG;
    } catch (const std::out_of_range& error) {
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

#pragma once

// A failed automation call, thrown by a member or by the model under it and
// turned into the result of IDispatch::Invoke: DISP_E_EXCEPTION carries a description for
// EXCEPINFO; DISP_E_TYPEMISMATCH names the offending argument (its index in rgvarg).

#include "runtime/ZrvTypes.h"

#include <string>

namespace zrv::sheet {

struct DispatchError {
    HRESULT result = DISP_E_EXCEPTION;
    std::string description; // UTF-8
    UINT argument = 0;
    SCODE scode = E_FAIL; // EXCEPINFO's scode of a DISP_E_EXCEPTION
};

// A member that cannot do what was asked: DISP_E_EXCEPTION with a description.
[[noreturn]] inline void Fail(std::string description, SCODE scode = E_FAIL)
{
    throw DispatchError{DISP_E_EXCEPTION, std::move(description), 0, scode};
}

} // namespace zrv::sheet

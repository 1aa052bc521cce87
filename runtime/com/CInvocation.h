#pragma once

#include "runtime/com/OleAuto.h"
#include "runtime/com/TypeLibModel.h"

#include <cstdint>
#include <vector>

namespace zrv::com {

// One late-bound call of a described member: binds the dispatch arguments to
// the member's parameters (converting each to its type), calls the v-table
// slot and hands the return value to the caller. Converted arguments are
// freed when the invocation goes; a failing member becomes DISP_E_EXCEPTION
// with the thread's error information in EXCEPINFO.
class CInvocation final {
public:
    CInvocation(const TlbMember& member, const DISPPARAMS& params);
    ~CInvocation();
    CInvocation(const CInvocation&) = delete;
    CInvocation& operator=(const CInvocation&) = delete;

    HRESULT run(void* instance, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

private:
    // For each parameter, the index in rgvarg of its argument (-1: none).
    HRESULT mapArguments(std::vector<int>& sources, UINT* argErr) const;
    HRESULT bindArguments(UINT* argErr);
    HRESULT bindIn(const TlbParam& param, const VARIANT& arg, intptr_t& word);
    void deliverResult(VARIANT* result);

    const TlbMember& m_member;
    const DISPPARAMS& m_params;
    std::vector<VARIANT> m_converted;
    std::vector<intptr_t> m_words;
    VARIANT m_retval;
    const TlbParam* m_retvalParam = nullptr;
};

} // namespace zrv::com

// Every public header of the component runtime compiles on its own and keeps
// the binary layout other programs rely on.

#include "runtime/com/BString.h"
#include "runtime/com/CodePage.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/ObjBase.h"
#include "runtime/com/OleAuto.h"
#include "runtime/com/TypeLibData.h"

#include <cstddef>
#include <gtest/gtest.h>

namespace {

TEST(Headers, variantAndDispParams_haveTheHomeLayout)
{
    EXPECT_EQ(sizeof(VARIANT), 24u);
    EXPECT_EQ(offsetof(VARIANT, vt), 0u);
    EXPECT_EQ(offsetof(VARIANT, dblVal), 8u);
    EXPECT_EQ(offsetof(VARIANT, bstrVal), 8u);
    EXPECT_EQ(sizeof(DISPPARAMS), 24u);
    EXPECT_EQ(offsetof(DISPPARAMS, cArgs), 16u);
    EXPECT_EQ(offsetof(DISPPARAMS, cNamedArgs), 20u);
    EXPECT_EQ(offsetof(EXCEPINFO, bstrSource), 8u);
    EXPECT_EQ(offsetof(EXCEPINFO, scode), 56u);
}

// A v-table holds exactly the declared members: the first slot of IDispatch
// after IUnknown's three is GetTypeInfoCount.
struct Probe final : IDispatch {
    HRESULT QueryInterface(const GUID&, void**) override { return 1; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 3; }
    HRESULT GetTypeInfoCount(UINT*) override { return 4; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return 5; }
    HRESULT GetIDsOfNames(const GUID&, OLECHAR**, UINT, LCID, DISPID*) override { return 6; }
    HRESULT Invoke(DISPID, const GUID&, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                   UINT*) override
    {
        return 7;
    }
};

TEST(Headers, interfaces_haveNoDestructorSlots)
{
    Probe probe;
    using Slot = HRESULT (*)(void*, UINT*);
    void** vtable = *reinterpret_cast<void***>(&probe);
    EXPECT_EQ(reinterpret_cast<Slot>(vtable[3])(&probe, nullptr), 4);
    EXPECT_EQ(sizeof(Probe), sizeof(void*));
}

} // namespace

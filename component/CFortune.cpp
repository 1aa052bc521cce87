#include "component/CFortune.h"

#include "component/AnsiText.h"
#include "component/CFortuneSnapshot.h"
#include "component/CModule.h"
#include "component/ComponentError.h"
#include "runtime/com/ComPtr.h"

#include <cstdio>
#include <new>

namespace zrv {

namespace {

constexpr HRESULT kDispBadIndex = static_cast<HRESULT>(0x8002000B); // DISP_E_BADINDEX

// The component's log is the host process's standard error, which the
// terminal or the journal keeps: one line a failure the engine passed over.
void LogArchiveDiagnostic(const char* message)
{
    std::fprintf(stderr, "zrvfort: %s\n", message);
}

} // namespace

HRESULT CFortune::CreateInstance(IUnknown* outer, const IID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer && !(iid == IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    // The reference count owns the object: the temporary reference keeps it
    // alive through QueryInterface and frees it if that fails.
    auto* object = new (std::nothrow) CFortune(outer);
    if (!object)
        return E_OUTOFMEMORY;
    IUnknown& inner = object->m_inner;
    inner.AddRef();
    const HRESULT hr = inner.QueryInterface(iid, ppv);
    inner.Release();
    return hr;
}

CFortune::CFortune(IUnknown* outer) : m_outer(outer ? outer : &m_inner)
{
    CModule::Instance().Lock();
    CArchive::SetDiagnosticHook(&LogArchiveDiagnostic);
}

CFortune::~CFortune()
{
    CModule::Instance().Unlock();
}

HRESULT CFortune::CInnerUnknown::QueryInterface(const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (iid == IID_IUnknown)
        *ppv = static_cast<IUnknown*>(this);
    else if (iid == IID_IFortune || iid == IID_IDispatch)
        *ppv = static_cast<IFortune*>(&m_owner);
    else if (iid == IID_IFortuneBatch)
        *ppv = static_cast<IFortuneBatch*>(&m_owner);
    else if (iid == IID_ISupportErrorInfo)
        *ppv = static_cast<ISupportErrorInfo*>(&m_owner);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
}

ULONG CFortune::CInnerUnknown::AddRef()
{
    return ++m_refs;
}

ULONG CFortune::CInnerUnknown::Release()
{
    const ULONG refs = --m_refs;
    if (refs == 0)
        delete &m_owner;
    return refs;
}

HRESULT CFortune::QueryInterface(const GUID& iid, void** ppv)
{
    return m_outer->QueryInterface(iid, ppv);
}

ULONG CFortune::AddRef()
{
    return m_outer->AddRef();
}

ULONG CFortune::Release()
{
    return m_outer->Release();
}

HRESULT CFortune::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CFortune::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return kDispBadIndex;
    ComPtr<ITypeInfo> typeInfo;
    const HRESULT hr = CModule::Instance().GetFortuneTypeInfo(typeInfo);
    if (SUCCEEDED(hr))
        *info = typeInfo.detach();
    return hr;
}

HRESULT CFortune::GetIDsOfNames(const GUID& iid, OLECHAR** names, UINT count, LCID, DISPID* ids)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> typeInfo;
    const HRESULT hr = CModule::Instance().GetFortuneTypeInfo(typeInfo);
    return FAILED(hr) ? hr : typeInfo->GetIDsOfNames(names, count, ids);
}

HRESULT CFortune::Invoke(DISPID id, const GUID& iid, LCID, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> typeInfo;
    const HRESULT hr = CModule::Instance().GetFortuneTypeInfo(typeInfo);
    if (FAILED(hr))
        return hr;
    return typeInfo->Invoke(static_cast<IFortune*>(this), id, flags, params, result, excepInfo,
                            argErr);
}

namespace {

template <typename Operation> HRESULT Guarded(Operation&& operation) noexcept
{
    return zrv::Guarded(IID_IFortune, std::forward<Operation>(operation));
}

} // namespace

template <typename Read> HRESULT CFortune::GuardedRead(BSTR* out, Read&& read) noexcept
{
    if (!out)
        return E_POINTER;
    BString value;
    const HRESULT hr = Guarded([&] { value = ToBString(read()); });
    if (SUCCEEDED(hr))
        *out = value.detach();
    return hr;
}

HRESULT CFortune::Load(BSTR sFile)
{
    return Guarded([&] { m_archive.Load(ToAnsi(sFile)); });
}

HRESULT CFortune::Count(LONG* plCount)
{
    if (!plCount)
        return E_POINTER;
    LONG count = 0;
    const HRESULT hr = Guarded([&] { count = m_archive.Count(); });
    if (SUCCEEDED(hr))
        *plCount = count;
    return hr;
}

HRESULT CFortune::Add(BSTR vsFortune)
{
    return Guarded([&] { m_archive.Add(ToAnsiCounted(vsFortune)); });
}

HRESULT CFortune::get_Item(LONG vlIndex, BSTR* rsFortune)
{
    return GuardedRead(rsFortune, [&] { return m_archive.Item(vlIndex); });
}

HRESULT CFortune::put_Item(LONG vlIndex, BSTR newVal)
{
    return Guarded([&] { m_archive.SetItem(vlIndex, ToAnsiCounted(newVal)); });
}

HRESULT CFortune::Delete(LONG vlIndex)
{
    return Guarded([&] { m_archive.Delete(vlIndex); });
}

HRESULT CFortune::Create(BSTR sFile)
{
    return Guarded([&] { m_archive.Create(ToAnsi(sFile)); });
}

HRESULT CFortune::Rename(BSTR sFile)
{
    return Guarded([&] { m_archive.Rename(ToAnsi(sFile)); });
}

HRESULT CFortune::Name(BSTR* psFile)
{
    return GuardedRead(psFile, [&] { return m_archive.Name(); });
}

HRESULT CFortune::get_Header(BSTR* pVal)
{
    return GuardedRead(pVal, [&] { return m_archive.Header(); });
}

HRESULT CFortune::put_Header(BSTR newVal)
{
    return Guarded([&] { m_archive.SetHeader(ToAnsiCounted(newVal)); });
}

HRESULT CFortune::Snapshot(IFortuneSnapshot** ppSnapshot)
{
    if (!ppSnapshot)
        return E_POINTER;
    *ppSnapshot = nullptr;
    CArchiveSnapshot snapshot;
    const HRESULT hr = zrv::Guarded(IID_IFortuneBatch, [&] { snapshot = m_archive.Snapshot(); });
    return FAILED(hr) ? hr : CFortuneSnapshot::Create(std::move(snapshot), ppSnapshot);
}

namespace {

CArchive::AddMode AddModeOf(LONG flags)
{
    return (flags & FORTUNE_ADD_EXACT) != 0 ? CArchive::AddMode::Exact : CArchive::AddMode::Trimmed;
}

size_t TotalLength(LONG count, const BSTR* texts)
{
    size_t size = 0;
    for (LONG i = 0; i < count; ++i)
        size += SysStringLen(texts[i]);
    return size;
}

} // namespace

HRESULT CFortune::AddMany(LONG lCount, const BSTR* psFortunes, LONG lFlags)
{
    if (lCount < 0 || (lFlags & ~FORTUNE_ADD_EXACT) != 0)
        return E_INVALIDARG;
    if (lCount > 0 && !psFortunes)
        return E_POINTER;
    return zrv::Guarded(IID_IFortuneBatch, [&] {
        // One text converted at a time, into the same buffer.
        std::string converted;
        m_archive.AddMany(
            static_cast<size_t>(lCount),
            [&](size_t position) { return ToAnsiCounted(psFortunes[position], converted); },
            AddModeOf(lFlags), TotalLength(lCount, psFortunes));
    });
}

HRESULT CFortune::InsertMany(LONG lCount, const LONG* plIndexes, const BSTR* psFortunes,
                             LONG lFlags)
{
    if (lCount < 0 || (lFlags & ~FORTUNE_ADD_EXACT) != 0)
        return E_INVALIDARG;
    if (lCount > 0 && (!plIndexes || !psFortunes))
        return E_POINTER;
    return zrv::Guarded(IID_IFortuneBatch, [&] {
        std::string converted;
        m_archive.InsertMany(
            std::vector<int32_t>(plIndexes, plIndexes + lCount),
            [&](size_t position) { return ToAnsiCounted(psFortunes[position], converted); },
            AddModeOf(lFlags), TotalLength(lCount, psFortunes));
    });
}

HRESULT CFortune::ReplaceItem(LONG vlIndex, BSTR sFortune, LONG lFlags)
{
    if ((lFlags & ~FORTUNE_ADD_EXACT) != 0)
        return E_INVALIDARG;
    return zrv::Guarded(IID_IFortuneBatch, [&] {
        m_archive.ReplaceItem(vlIndex, ToAnsiCounted(sFortune), AddModeOf(lFlags));
    });
}

HRESULT CFortune::DeleteMany(LONG lCount, const LONG* plIndexes)
{
    if (lCount < 0)
        return E_INVALIDARG;
    if (lCount > 0 && !plIndexes)
        return E_POINTER;
    return zrv::Guarded(IID_IFortuneBatch, [&] {
        m_archive.DeleteMany(std::vector<int32_t>(plIndexes, plIndexes + lCount));
    });
}

HRESULT CFortune::InterfaceSupportsErrorInfo(const GUID& iid)
{
    return iid == IID_IFortune || iid == IID_IFortuneBatch ? S_OK : S_FALSE;
}

} // namespace zrv

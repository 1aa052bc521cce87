#include "component/CFortuneSnapshot.h"

#include "component/AnsiText.h"
#include "component/CModule.h"
#include "component/ComponentError.h"
#include "engine/CArchive.h"
#include "runtime/com/AsciiText.h"

#include <new>

namespace zrv {

namespace {

// A stored text as the archive object hands it out, converted straight into
// the new string when it is ASCII, as nearly every fortune is.
BString HandedOut(std::string_view stored)
{
    BString text = com::AsciiToBStringCrLf(stored);
    return text.get() ? std::move(text) : ToBString(CArchive::HandedOut(stored));
}

template <typename Read> HRESULT ReadInto(BSTR* out, Read&& read) noexcept
{
    if (!out)
        return E_POINTER;
    BString value;
    const HRESULT hr = Guarded(IID_IFortuneSnapshot, [&] { value = read(); });
    if (SUCCEEDED(hr))
        *out = value.detach();
    return hr;
}

} // namespace

HRESULT CFortuneSnapshot::Create(CArchiveSnapshot snapshot, IFortuneSnapshot** ppSnapshot)
{
    auto* object = new (std::nothrow) CFortuneSnapshot(std::move(snapshot));
    if (!object)
        return E_OUTOFMEMORY;
    *ppSnapshot = object;
    return S_OK;
}

CFortuneSnapshot::CFortuneSnapshot(CArchiveSnapshot snapshot) : m_snapshot(std::move(snapshot))
{
    CModule::Instance().Lock();
}

CFortuneSnapshot::~CFortuneSnapshot()
{
    CModule::Instance().Unlock();
}

HRESULT CFortuneSnapshot::QueryInterface(const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (!(iid == IID_IUnknown) && !(iid == IID_IFortuneSnapshot)) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = static_cast<IFortuneSnapshot*>(this);
    AddRef();
    return S_OK;
}

ULONG CFortuneSnapshot::AddRef()
{
    return ++m_refs;
}

ULONG CFortuneSnapshot::Release()
{
    const ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CFortuneSnapshot::Count(LONG* plCount)
{
    if (!plCount)
        return E_POINTER;
    *plCount = m_snapshot.Count();
    return S_OK;
}

HRESULT CFortuneSnapshot::get_Item(LONG vlIndex, BSTR* rsFortune)
{
    return ReadInto(rsFortune, [&] { return HandedOut(m_snapshot.Stored(vlIndex)); });
}

HRESULT CFortuneSnapshot::get_Header(BSTR* pVal)
{
    return ReadInto(pVal, [&] { return ToBString(m_snapshot.Header()); });
}

} // namespace zrv

#include "component/CFortuneSnapshot.h"

#include "component/AnsiText.h"
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

CFortuneSnapshot::CFortuneSnapshot(CArchiveSnapshot snapshot) : m_snapshot(std::move(snapshot)) {}

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

HRESULT CFortuneSnapshot::get_StoredItem(LONG vlIndex, BSTR* rsFortune)
{
    return ReadInto(rsFortune, [&] { return ToBString(std::string(m_snapshot.Stored(vlIndex))); });
}

HRESULT CFortuneSnapshot::get_StoredHeader(BSTR* pVal)
{
    return ReadInto(pVal, [&] { return ToBString(m_snapshot.StoredHeader()); });
}

} // namespace zrv

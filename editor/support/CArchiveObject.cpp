#include "editor/support/CArchiveObject.h"

#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

namespace {

// The archive's own description of its last failure, when it gave one.
QString LastErrorDescription()
{
    ComPtr<IErrorInfo> info;
    BString description;
    if (GetErrorInfo(0, info.put()) == S_OK && info)
        info->GetDescription(description.put());
    return CArchiveObject::ToQString(description);
}

void LogFailure(const char* operation, HRESULT hr)
{
    qCWarning(lcEditor).nospace() << "IFortune:" << operation << " failed with 0x" << Qt::hex
                                  << static_cast<uint32_t>(hr) << ": " << LastErrorDescription();
}

void Check(HRESULT hr, const char* operation)
{
    if (SUCCEEDED(hr))
        return;
    LogFailure(operation, hr);
    throw EditorError(hr, QStringLiteral("IFortune:") + QLatin1String(operation),
                      QStringLiteral("Automation error"));
}

// The strings of `texts`, as a batch call takes them.
std::vector<BSTR> Strings(const std::vector<BString>& texts)
{
    std::vector<BSTR> strings;
    strings.reserve(texts.size());
    for (const BString& text : texts)
        strings.push_back(text.get());
    return strings;
}

} // namespace

CArchiveObject::CArchiveObject(ComPtr<IFortune> fortune) : mFortune(std::move(fortune)) {}

CArchiveObject CArchiveObject::Create()
{
    ComPtr<IFortune> fortune;
    Check(CoCreateInstance(CLSID_Fortune, nullptr, CLSCTX_INPROC_SERVER, IID_IFortune,
                           fortune.putVoid()),
          "CoCreateInstance");
    return CArchiveObject(std::move(fortune));
}

void CArchiveObject::CreateEmpty(const QString& path)
{
    const CArchiveObject created = Create();
    Check(created.mFortune->Create(ToBString(path).get()), "Create");
}

IFortune& CArchiveObject::Fortune(const char* operation) const
{
    if (!mFortune)
        Check(E_POINTER, operation);
    return *mFortune.get();
}

void CArchiveObject::Load(const QString& path)
{
    Check(Fortune("Load").Load(ToBString(path).get()), "Load");
}

int32_t CArchiveObject::Count() const
{
    LONG count = 0;
    Check(Fortune("Count").Count(&count), "Count");
    return count;
}

BString CArchiveObject::Item(int32_t index) const
{
    BString text;
    Check(Fortune("Item").get_Item(index, text.put()), "Item");
    return text;
}

void CArchiveObject::PutItem(int32_t index, const BString& text) const
{
    Check(Fortune("Item").put_Item(index, text.get()), "Item");
}

QString CArchiveObject::Name() const
{
    BString name;
    Check(Fortune("Name").Name(name.put()), "Name");
    return ToQString(name);
}

QString CArchiveObject::Header() const
{
    BString header;
    Check(Fortune("Header").get_Header(header.put()), "Header");
    return ToQString(header);
}

void CArchiveObject::PutHeader(const QString& header) const
{
    Check(Fortune("Header").put_Header(ToBString(header).get()), "Header");
}

void CArchiveObject::Add(const BString& text) const
{
    Check(Fortune("Add").Add(text.get()), "Add");
}

void CArchiveObject::Delete(int32_t index) const
{
    Check(Fortune("Delete").Delete(index), "Delete");
}

ComPtr<IFortuneBatch> CArchiveObject::Batch() const
{
    ComPtr<IFortuneBatch> batch;
    Check(Fortune("QueryInterface").QueryInterface(IID_IFortuneBatch, batch.putVoid()),
          "QueryInterface");
    return batch;
}

ComPtr<IFortuneSnapshot> CArchiveObject::Snapshot() const
{
    ComPtr<IFortuneSnapshot> snapshot;
    Check(Batch()->Snapshot(snapshot.put()), "Snapshot");
    return snapshot;
}

int32_t CArchiveObject::Count(IFortuneSnapshot& snapshot)
{
    LONG count = 0;
    Check(snapshot.Count(&count), "Count");
    return count;
}

QString CArchiveObject::Header(IFortuneSnapshot& snapshot)
{
    BString header;
    Check(snapshot.get_Header(header.put()), "Header");
    return ToQString(header);
}

BString CArchiveObject::Item(IFortuneSnapshot& snapshot, int32_t index)
{
    BString text;
    Check(snapshot.get_Item(index, text.put()), "Item");
    return text;
}

BString CArchiveObject::StoredItem(IFortuneSnapshot& snapshot, int32_t index)
{
    BString text;
    Check(snapshot.get_StoredItem(index, text.put()), "StoredItem");
    return text;
}

BString CArchiveObject::StoredHeader(IFortuneSnapshot& snapshot)
{
    BString text;
    Check(snapshot.get_StoredHeader(text.put()), "StoredHeader");
    return text;
}

size_t CArchiveObject::AddMany(const std::vector<BString>& texts,
                               const FailedAdd& onFailedAdd) const
{
    IFortune& fortune = Fortune("AddMany");
    if (texts.empty())
        return 0;
    const std::vector<BSTR> batch = Strings(texts);
    ComPtr<IFortuneBatch> many;
    HRESULT hr = fortune.QueryInterface(IID_IFortuneBatch, many.putVoid());
    if (SUCCEEDED(hr))
        hr = many->AddMany(static_cast<LONG>(batch.size()), batch.data(), 0);
    if (SUCCEEDED(hr))
        return texts.size();
    LogFailure("AddMany", hr);
    size_t added = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        hr = fortune.Add(texts[i].get());
        if (SUCCEEDED(hr))
            ++added;
        else if (!onFailedAdd(i, hr))
            break;
    }
    return added;
}

bool CArchiveObject::DeleteMany(const std::vector<int32_t>& indices) const
{
    const std::vector<LONG> indexes(indices.begin(), indices.end());
    return BatchCall("DeleteMany", [&](IFortuneBatch& batch) {
        return batch.DeleteMany(static_cast<LONG>(indexes.size()), indexes.data());
    });
}

bool CArchiveObject::InsertMany(const std::vector<int32_t>& indices,
                                const std::vector<BString>& texts) const
{
    const std::vector<LONG> indexes(indices.begin(), indices.end());
    const std::vector<BSTR> strings = Strings(texts);
    return BatchCall("InsertMany", [&](IFortuneBatch& batch) {
        return indexes.size() != strings.size()
                   ? E_INVALIDARG
                   : batch.InsertMany(static_cast<LONG>(indexes.size()), indexes.data(),
                                      strings.data(), FORTUNE_ADD_EXACT);
    });
}

bool CArchiveObject::ReplaceItem(int32_t index, const BString& text) const
{
    return BatchCall("ReplaceItem", [&](IFortuneBatch& batch) {
        return batch.ReplaceItem(index, text.get(), FORTUNE_ADD_EXACT);
    });
}

bool CArchiveObject::BatchCall(const char* operation,
                               const std::function<HRESULT(IFortuneBatch&)>& call) const
{
    ComPtr<IFortuneBatch> batch;
    HRESULT hr = Fortune(operation).QueryInterface(IID_IFortuneBatch, batch.putVoid());
    if (SUCCEEDED(hr))
        hr = call(*batch.get());
    if (FAILED(hr))
        LogFailure(operation, hr);
    return SUCCEEDED(hr);
}

QString CArchiveObject::ToQString(const BString& text)
{
    const std::u16string_view view = text.view();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

BString CArchiveObject::ToBString(const QString& text)
{
    return BString(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                       static_cast<size_t>(text.size())));
}

#include "editor/shell/CArchiveObject.h"

#include "editor/support/EditorError.h"

namespace {

void Check(HRESULT hr, const char* operation)
{
    if (!SUCCEEDED(hr))
        throw EditorError(hr, QStringLiteral("IFortune:") + QLatin1String(operation),
                          QStringLiteral("Automation error"));
}

QString ToQString(const BString& text)
{
    const std::u16string_view view = text.view();
    return QString(reinterpret_cast<const QChar*>(view.data()),
                   static_cast<qsizetype>(view.size()));
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

void CArchiveObject::Load(const QString& path)
{
    const BString file(path.toStdU16String());
    Check(mFortune->Load(file.get()), "Load");
}

int32_t CArchiveObject::Count() const
{
    LONG count = 0;
    Check(mFortune->Count(&count), "Count");
    return count;
}

BString CArchiveObject::Item(int32_t index) const
{
    BString text;
    Check(mFortune->get_Item(index, text.put()), "Item");
    return text;
}

QString CArchiveObject::Name() const
{
    BString name;
    Check(mFortune->Name(name.put()), "Name");
    return ToQString(name);
}

QString CArchiveObject::Header() const
{
    BString header;
    Check(mFortune->get_Header(header.put()), "Header");
    return ToQString(header);
}

ComPtr<IFortuneSnapshot> CArchiveObject::Snapshot() const
{
    ComPtr<IFortuneBatch> batch;
    Check(mFortune.queryInterface(IID_IFortuneBatch, batch), "QueryInterface");
    ComPtr<IFortuneSnapshot> snapshot;
    Check(batch->Snapshot(snapshot.put()), "Snapshot");
    return snapshot;
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

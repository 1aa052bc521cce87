#include "tests/editor/editing/FortuneFiles.h"

#include "editor/support/CArchiveObject.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <gtest/gtest.h>

namespace FortuneFiles {

void RegisterComponent()
{
    zrv::test::EditorTestEnvironment::RegisterComponent();
}

ComPtr<IFortune> NewFortune()
{
    RegisterComponent();
    ComPtr<IFortune> fortune;
    const HRESULT hr = CoCreateInstance(CLSID_Fortune, nullptr, CLSCTX_INPROC_SERVER, IID_IFortune,
                                        fortune.putVoid());
    EXPECT_TRUE(SUCCEEDED(hr)) << hr;
    return fortune;
}

ComPtr<IFortune> LoadFortune(const QString& path)
{
    ComPtr<IFortune> fortune = NewFortune();
    if (fortune) {
        EXPECT_TRUE(SUCCEEDED(fortune->Load(CArchiveObject::ToBString(path).get())));
    }
    return fortune;
}

ComPtr<IFortune> MakeArchive(const QString& path, const QString& header,
                             const QStringList& fortunes)
{
    ComPtr<IFortune> fortune = NewFortune();
    if (!fortune)
        return fortune;
    EXPECT_TRUE(SUCCEEDED(fortune->Create(CArchiveObject::ToBString(path).get())));
    EXPECT_TRUE(SUCCEEDED(fortune->put_Header(CArchiveObject::ToBString(header).get())));
    for (const QString& text : fortunes)
        EXPECT_TRUE(SUCCEEDED(fortune->Add(CArchiveObject::ToBString(text).get())));
    return fortune;
}

QStringList Fortunes(IFortune* fortune)
{
    QStringList texts;
    LONG count = 0;
    if (fortune == nullptr || FAILED(fortune->Count(&count)))
        return texts;
    for (LONG i = 1; i <= count; ++i) {
        BString text;
        fortune->get_Item(i, text.put());
        texts.append(CArchiveObject::ToQString(text));
    }
    return texts;
}

QString Header(IFortune* fortune)
{
    BString header;
    if (fortune != nullptr)
        fortune->get_Header(header.put());
    return CArchiveObject::ToQString(header);
}

QStringList Numbered(int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts.append(QStringLiteral("Fortune %1").arg(i));
    return texts;
}

} // namespace FortuneFiles

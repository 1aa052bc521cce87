#include "fortarc/CFortuneArchive.h"

#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"
#include "runtime/com/BString.h"

#include <cstdio>

namespace fortarc {

namespace {

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// The description the failing call left as the thread's error information.
std::string ErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    BString description;
    if (FAILED(info->GetDescription(description.put())))
        return {};
    return ToConsole(description.view());
}

} // namespace

CFortuneArchive::CFortuneArchive(const std::string& label) : m_label(label)
{
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(u"ZorvaFortune.Fortune", &clsid);
    if (FAILED(hr))
        throw FortarcError(ExitCode::NoComponent,
                           "the component \"ZorvaFortune.Fortune\" is not registered "
                           "(register libzrvfort.so with zrvregsvr)");
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IFortune, m_fortune.putVoid());
    if (FAILED(hr) || !m_fortune)
        throw FortarcError(ExitCode::NoComponent,
                           "cannot create \"ZorvaFortune.Fortune\" (" + Hex(hr) + ")");
}

CFortuneArchive CFortuneArchive::Open(const std::u16string& path, const std::string& label)
{
    CFortuneArchive archive(label);
    const BString file(path);
    archive.Check(archive.m_fortune->Load(file.get()), "load");
    // A file the object could not open leaves it with no archive and no name.
    if (archive.Name().empty())
        throw FortarcError(ExitCode::NoArchive, label + ": cannot read the archive");
    return archive;
}

CFortuneArchive CFortuneArchive::Create(const std::u16string& path, const std::string& label)
{
    CFortuneArchive archive(label);
    const BString file(path);
    archive.Check(archive.m_fortune->Create(file.get()), "create");
    return archive;
}

void CheckCall(HRESULT hr, const std::string& label, const char* operation)
{
    if (SUCCEEDED(hr))
        return;
    std::string message = label + ": " + operation + " failed";
    const std::string description = ErrorDescription();
    if (!description.empty())
        message += ": " + description;
    throw FortarcError(ExitCode::Failure, message + " (" + Hex(hr) + ")");
}

void CFortuneArchive::Check(HRESULT hr, const char* operation) const
{
    CheckCall(hr, m_label, operation);
}

ComPtr<IFortuneBatch> CFortuneArchive::Batch() const
{
    ComPtr<IFortuneBatch> batch;
    Check(m_fortune.queryInterface(IID_IFortuneBatch, batch), "reach the batch interface");
    return batch;
}

CSnapshotReader CFortuneArchive::Snapshot() const
{
    ComPtr<IFortuneSnapshot> snapshot;
    Check(Batch()->Snapshot(snapshot.put()), "read");
    return CSnapshotReader(std::move(snapshot), m_label);
}

void CFortuneArchive::AddMany(const std::vector<BString>& texts, LONG flags)
{
    std::vector<BSTR> pointers;
    pointers.reserve(texts.size());
    for (const BString& text : texts)
        pointers.push_back(text.get());
    Check(Batch()->AddMany(static_cast<LONG>(pointers.size()), pointers.data(), flags), "add");
}

void CFortuneArchive::DeleteMany(const std::vector<int32_t>& indexes)
{
    const std::vector<LONG> values(indexes.begin(), indexes.end());
    Check(Batch()->DeleteMany(static_cast<LONG>(values.size()), values.data()), "delete");
}

int32_t CFortuneArchive::Count() const
{
    LONG count = 0;
    Check(m_fortune->Count(&count), "count");
    return count;
}

std::u16string CFortuneArchive::Item(int32_t index) const
{
    BString text;
    Check(m_fortune->get_Item(index, text.put()), "read");
    return std::u16string(text.view());
}

void CFortuneArchive::SetItem(int32_t index, const std::u16string& text)
{
    const BString value(text);
    Check(m_fortune->put_Item(index, value.get()), "replace");
}

void CFortuneArchive::Add(const std::u16string& text)
{
    const BString value(text);
    Check(m_fortune->Add(value.get()), "add");
}

void CFortuneArchive::Delete(int32_t index)
{
    Check(m_fortune->Delete(index), "delete");
}

std::u16string CFortuneArchive::ReadText(HRESULT (IFortune::*get)(BSTR*),
                                         const char* operation) const
{
    BString text;
    Check((m_fortune.get()->*get)(text.put()), operation);
    return std::u16string(text.view());
}

void CFortuneArchive::WriteText(HRESULT (IFortune::*put)(BSTR), const std::u16string& text,
                                const char* operation)
{
    const BString value(text);
    Check((m_fortune.get()->*put)(value.get()), operation);
}

std::u16string CFortuneArchive::Header() const
{
    return ReadText(&IFortune::get_Header, "read the header");
}

void CFortuneArchive::SetHeader(const std::u16string& text)
{
    WriteText(&IFortune::put_Header, text, "write the header");
}

std::u16string CFortuneArchive::Name() const
{
    return ReadText(&IFortune::Name, "name");
}

void CFortuneArchive::Rename(const std::u16string& newName)
{
    WriteText(&IFortune::Rename, newName, "rename");
}

} // namespace fortarc

#pragma once

#include "component/IFortune.h"
#include "fortarc/CSnapshotReader.h"
#include "runtime/com/ComPtr.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fortarc {

// Throws FortarcError for a failed call on the archive `label`, with the
// description the call left as the thread's error information.
void CheckCall(HRESULT hr, const std::string& label, const char* operation);

// One archive reached through a "ZorvaFortune.Fortune" object created by the
// component runtime, as any client program would. Every failed call throws
// FortarcError; paths and texts are UTF-16 as the interface carries them.
class CFortuneArchive final {
public:
    // Loads an existing archive; `label` names it in messages.
    static CFortuneArchive Open(const std::u16string& path, const std::string& label);
    // Creates an empty archive (the caller has made sure none exists).
    static CFortuneArchive Create(const std::u16string& path, const std::string& label);

    int32_t Count() const;
    std::u16string Item(int32_t index) const;
    void SetItem(int32_t index, const std::u16string& text);
    void Add(const std::u16string& text);
    void Delete(int32_t index);
    std::u16string Header() const;
    void SetHeader(const std::u16string& text);
    std::u16string Name() const;
    void Rename(const std::u16string& newName);

    // Batch calls: all or nothing, each with one look at the file or one
    // durable write.
    CSnapshotReader Snapshot() const;
    // `flags` as IFortuneBatch::AddMany takes them.
    void AddMany(const std::vector<BString>& texts, LONG flags);
    // Indexes as numbered before the call, in any order.
    void DeleteMany(const std::vector<int32_t>& indexes);

private:
    explicit CFortuneArchive(const std::string& label);
    void Check(HRESULT hr, const char* operation) const;
    std::u16string ReadText(HRESULT (IFortune::*get)(BSTR*), const char* operation) const;
    void WriteText(HRESULT (IFortune::*put)(BSTR), const std::u16string& text,
                   const char* operation);
    ComPtr<IFortuneBatch> Batch() const;

    ComPtr<IFortune> m_fortune;
    std::string m_label;
};

} // namespace fortarc

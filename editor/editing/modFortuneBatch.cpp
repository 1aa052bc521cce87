#include "editor/editing/modFortuneBatch.h"

#include "editor/support/Logging.h"
#include "runtime/com/ComPtr.h"

namespace modFortuneBatch {

namespace {

ComPtr<IFortuneBatch> BatchOf(IFortune& roFortune)
{
    ComPtr<IFortuneBatch> batch;
    if (FAILED(roFortune.QueryInterface(IID_IFortuneBatch, batch.putVoid())))
        qCWarning(lcEditor) << "the archive object offers no batch interface";
    return batch;
}

void LogBatchFailure(const char* what, HRESULT hr)
{
    ComPtr<IErrorInfo> info;
    BString description;
    if (GetErrorInfo(0, info.put()) == S_OK && info)
        info->GetDescription(description.put());
    qCWarning(lcEditor).nospace() << what << " failed with 0x" << Qt::hex
                                  << static_cast<uint32_t>(hr) << ": "
                                  << QString::fromStdU16String(std::u16string(description.view()));
}

} // namespace

size_t AppendFortunes(IFortune& roFortune, const std::vector<BString>& vasTexts,
                      const FailedAdd& onFailedAdd)
{
    if (vasTexts.empty())
        return 0;
    if (const ComPtr<IFortuneBatch> batch = BatchOf(roFortune)) {
        std::vector<BSTR> texts;
        texts.reserve(vasTexts.size());
        for (const BString& text : vasTexts)
            texts.push_back(text.get());
        const HRESULT hr = batch->AddMany(static_cast<LONG>(texts.size()), texts.data(), 0);
        if (SUCCEEDED(hr))
            return vasTexts.size();
        LogBatchFailure("appending a batch of fortunes", hr);
    }
    size_t added = 0;
    for (size_t i = 0; i < vasTexts.size(); ++i) {
        const HRESULT hr = roFortune.Add(vasTexts[i].get());
        if (SUCCEEDED(hr))
            ++added;
        else if (!onFailedAdd(i, hr))
            break;
    }
    return added;
}

bool DeleteFortunes(IFortune& roFortune, const std::vector<int32_t>& vlIndices)
{
    const ComPtr<IFortuneBatch> batch = BatchOf(roFortune);
    if (!batch)
        return false;
    const std::vector<LONG> indexes(vlIndices.begin(), vlIndices.end());
    const HRESULT hr = batch->DeleteMany(static_cast<LONG>(indexes.size()), indexes.data());
    if (FAILED(hr))
        LogBatchFailure("deleting a batch of fortunes", hr);
    return SUCCEEDED(hr);
}

} // namespace modFortuneBatch

#include "editor/archives/CImportChunk.h"

#include "editor/editing/BstrText.h"
#include "editor/editing/modFortuneBatch.h"
#include "editor/support/Logging.h"

CImportChunk::CImportChunk(IFortune& roArchive) : mArchive(roArchive) {}

void CImportChunk::Take(int32_t vlRow, const QString& vsFortune)
{
    if (mRows.empty())
        mStarted.start();
    mRows.push_back(vlRow);
    mTexts.push_back(ToBstr(vsFortune));
    if (mRows.size() >= kChunkRows || mStarted.elapsed() >= kChunkTime)
        Flush();
}

void CImportChunk::Flush()
{
    modFortuneBatch::AppendFortunes(mArchive, mTexts, [this](size_t position, HRESULT) {
        qCWarning(lcEditor) << "cannot append the fortune of row" << mRows[position];
        return true;
    });
    Drop();
}

void CImportChunk::Drop()
{
    mRows.clear();
    mTexts.clear();
}

#include "editor/archives/CImportChunk.h"

#include "editor/editing/modFortuneRows.h"
#include "editor/support/Logging.h"

#include <QFileInfo>
#include <utility>

CImportChunk::CImportChunk(CArchiveObject roArchive, QString vsPath, size_t vlMaxCharacters)
    : mArchive(std::move(roArchive)), msPath(std::move(vsPath)), mlMaxCharacters(vlMaxCharacters)
{}

bool CImportChunk::Take(int32_t vlRow, const QString& vsFortune)
{
    if (mRows.empty())
        mStarted.start();
    mRows.push_back(vlRow);
    mTexts.push_back(CArchiveObject::ToBString(vsFortune));
    mlCharacters += static_cast<size_t>(vsFortune.size());
    if (mlCharacters >= mlMaxCharacters || mStarted.elapsed() >= kChunkTime)
        return Flush();
    return true;
}

bool CImportChunk::Flush()
{
    if (mTexts.empty())
        return true;
    if (!QFileInfo::exists(msPath)) {
        Drop();
        return false;
    }
    const size_t appended = mArchive.AddMany(mTexts, [this](size_t position, HRESULT) {
        qCWarning(lcEditor) << "cannot append the fortune of row" << mRows[position];
        return true;
    });
    if (appended == mTexts.size() && mbAllAppended)
        mAppended.append(modFortuneRows::AppendedRows(mTexts));
    else
        mbAllAppended = false;
    Drop();
    return true;
}

void CImportChunk::Drop()
{
    mRows.clear();
    mTexts.clear();
    mlCharacters = 0;
}

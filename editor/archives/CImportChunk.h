#pragma once

#include "component/IFortune.h"
#include "runtime/com/BString.h"

#include <cstdint>
#include <QElapsedTimer>
#include <QString>
#include <vector>

// Rows of an import read but not yet appended, with their row numbers. They
// go to the archive in one batch once reading them took kChunkTime, or there
// are kChunkRows of them: each batch rewrites the archive, so a large import
// costs a write per tenth of a second of reading, whatever the archive's size.
class CImportChunk final {
public:
    explicit CImportChunk(IFortune& roArchive);
    CImportChunk(const CImportChunk&) = delete;
    CImportChunk& operator=(const CImportChunk&) = delete;

    void Take(int32_t vlRow, const QString& vsFortune);
    // Appends the rows taken. A row the archive does not take is logged and
    // passed over, as a single Add failing would be.
    void Flush();
    // Forgets the rows taken.
    void Drop();

    static constexpr size_t kChunkRows = 5000;
    static constexpr qint64 kChunkTime = 100; // milliseconds

private:
    IFortune& mArchive;
    std::vector<int32_t> mRows;
    std::vector<BString> mTexts;
    QElapsedTimer mStarted;
};

#pragma once

#include "editor/support/CArchiveObject.h"

#include <cstdint>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <vector>

// Rows of an import read but not yet appended, with their row numbers. They
// go to the archive in one batch once reading them took kChunkTime, or they
// hold kChunkCharacters: each batch rewrites the whole archive, so a large
// import costs a write per tenth of a second of reading, whatever the
// archive's size, and holds a bounded amount of text meanwhile. A batch is
// appended only while the archive's file exists: appending would create it
// again.
class CImportChunk final {
public:
    CImportChunk(CArchiveObject roArchive, QString vsPath,
                 size_t vlMaxCharacters = kChunkCharacters);
    CImportChunk(const CImportChunk&) = delete;
    CImportChunk& operator=(const CImportChunk&) = delete;

    // False once the archive's file was found gone.
    bool Take(int32_t vlRow, const QString& vsFortune);
    // Appends the rows taken. A row the archive does not take is logged and
    // passed over, as a single Add failing would be. False, with nothing
    // appended, when the archive's file is gone.
    bool Flush();
    // Forgets the rows taken.
    void Drop();

    // The list rows the appended fortunes add, in order; known only while
    // every row taken was appended.
    const QList<QString>& AppendedRows() const { return mAppended; }
    bool AllAppended() const { return mbAllAppended; }

    static constexpr size_t kChunkCharacters = size_t{1} << 22;
    static constexpr qint64 kChunkTime = 100; // milliseconds

private:
    const CArchiveObject mArchive;
    const QString msPath;
    const size_t mlMaxCharacters;
    size_t mlCharacters = 0;
    std::vector<int32_t> mRows;
    std::vector<BString> mTexts;
    QElapsedTimer mStarted;
    QList<QString> mAppended;
    bool mbAllAppended = true;
};

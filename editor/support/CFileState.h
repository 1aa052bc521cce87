#pragma once

#include <cstdint>
#include <QString>

// What a look at a file shows of its state: which file the path names, its
// size and its modification and change times to the nanosecond. Any write,
// replacement or deletion changes it. The state of a missing file equals no
// other state, itself included.
class CFileState final {
public:
    CFileState() = default;

    static CFileState Of(const QString& path);

    bool operator==(const CFileState& other) const;
    bool operator!=(const CFileState& other) const { return !(*this == other); }

private:
    bool mbExists = false;
    uint64_t mDevice = 0;
    uint64_t mInode = 0;
    int64_t mSize = 0;
    int64_t mModified = 0; // nanoseconds
    int64_t mChanged = 0;  // nanoseconds
};

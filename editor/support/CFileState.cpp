#include "editor/support/CFileState.h"

#include "editor/support/Logging.h"

#include <cerrno>
#include <cstring>
#include <QFile>
#include <sys/stat.h>

namespace {

int64_t Nanoseconds(const timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

CFileState CFileState::Of(const QString& path)
{
    CFileState state;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        qCDebug(lcEditor) << "no state of" << path << ":" << std::strerror(errno);
        return state;
    }
    state.mbExists = true;
    state.mDevice = static_cast<uint64_t>(status.st_dev);
    state.mInode = static_cast<uint64_t>(status.st_ino);
    state.mSize = static_cast<int64_t>(status.st_size);
    state.mModified = Nanoseconds(status.st_mtim);
    state.mChanged = Nanoseconds(status.st_ctim);
    return state;
}

bool CFileState::operator==(const CFileState& other) const
{
    return mbExists && other.mbExists && mDevice == other.mDevice && mInode == other.mInode &&
           mSize == other.mSize && mModified == other.mModified && mChanged == other.mChanged;
}

#include "editor/archives/CArchiveFolder.h"

#include "editor/support/Logging.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Owns one file descriptor; Close() reports the result of close(2), which
// matters for a file just written.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : mFd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return mFd; }
    bool valid() const { return mFd >= 0; }
    bool Close()
    {
        if (mFd < 0)
            return true;
        const int rc = ::close(std::exchange(mFd, -1));
        return rc == 0;
    }

private:
    int mFd;
};

QByteArray Native(const QString& vsPath)
{
    return QFile::encodeName(vsPath);
}

bool WriteAll(int fd, const char* p, ssize_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, static_cast<size_t>(n));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= w;
    }
    return true;
}

bool CopyBytes(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t r = ::read(from, buffer, sizeof buffer);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return false;
        if (r == 0)
            return true;
        if (!WriteAll(to, buffer, r))
            return false;
    }
}

// Moves a finished file to its name without replacing anything there.
CArchiveFolder::Outcome MoveIntoPlace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return CArchiveFolder::Outcome::Done;
    if (errno == EEXIST)
        return CArchiveFolder::Outcome::NameTaken;
    if (errno != EINVAL && errno != ENOSYS)
        return CArchiveFolder::Outcome::Failed;
    // File systems without RENAME_NOREPLACE: link(2) never replaces either.
    if (::link(from.constData(), to.constData()) != 0)
        return errno == EEXIST ? CArchiveFolder::Outcome::NameTaken
                               : CArchiveFolder::Outcome::Failed;
    ::unlink(from.constData());
    return CArchiveFolder::Outcome::Done;
}

// Logs why a step failed (errno) and answers Failed; the user hears of it
// only through the open step that follows.
CArchiveFolder::Outcome Failure(const char* step, const QString& path)
{
    qCWarning(lcEditor).nospace() << step << ' ' << path << " failed: " << std::strerror(errno);
    return CArchiveFolder::Outcome::Failed;
}

void SyncFolder(const QByteArray& folder)
{
    const FileDescriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

} // namespace

CArchiveFolder::CArchiveFolder(QString vsFolder) : msFolder(std::move(vsFolder))
{
    while (msFolder.size() > 1 && msFolder.endsWith(QLatin1Char('/')))
        msFolder.chop(1);
}

QString CArchiveFolder::PathOf(const QString& vsName) const
{
    return msFolder + QLatin1Char('/') + vsName;
}

CArchiveFolder::Outcome CArchiveFolder::ReserveArchive(const QString& vsName) const
{
    FileDescriptor file(::open(Native(PathOf(vsName)).constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!file.valid())
        return errno == EEXIST ? Outcome::NameTaken : Failure("creating", PathOf(vsName));
    return file.Close() ? Outcome::Done : Failure("closing", PathOf(vsName));
}

CArchiveFolder::Outcome CArchiveFolder::CopyArchive(const QString& vsSource,
                                                    const QString& vsTarget) const
{
    // A link is no archive: copying through one could read outside the folder.
    const FileDescriptor source(
        ::open(Native(PathOf(vsSource)).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!source.valid() || ::fstat(source.get(), &st) != 0)
        return Failure("reading", PathOf(vsSource));

    QByteArray temp = Native(PathOf(QStringLiteral(".zrvcopy-XXXXXX")));
    FileDescriptor copy(::mkostemp(temp.data(), O_CLOEXEC));
    if (!copy.valid())
        return Failure("creating a copy in", msFolder);
    const bool written = ::fchmod(copy.get(), st.st_mode & 07777) == 0 &&
                         CopyBytes(source.get(), copy.get()) && ::fsync(copy.get()) == 0;
    if (!copy.Close() || !written) {
        const Outcome failed = Failure("copying to", QFile::decodeName(temp));
        ::unlink(temp.constData());
        return failed;
    }
    const Outcome moved = MoveIntoPlace(temp, Native(PathOf(vsTarget)));
    if (moved == Outcome::Failed)
        Failure("naming the copy", PathOf(vsTarget));
    if (moved != Outcome::Done)
        ::unlink(temp.constData());
    else
        SyncFolder(Native(msFolder));
    return moved;
}

bool CArchiveFolder::DeleteArchive(const QString& vsName) const
{
    return ::unlink(Native(PathOf(vsName)).constData()) == 0;
}

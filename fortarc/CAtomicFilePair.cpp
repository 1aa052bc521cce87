#include "fortarc/CAtomicFilePair.h"

#include "fortarc/FortarcError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fortarc {

namespace {

std::string Reason()
{
    return std::strerror(errno);
}

// A file of the folder that is removed when it goes, unless kept.
class CTempFile final {
public:
    explicit CTempFile(const std::string& folder, const std::string& stem)
        : m_path(folder + "/." + stem + ".XXXXXX")
    {
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd < 0)
            throw FortarcError(ExitCode::Failure,
                               "cannot create a file in " + folder + ": " + Reason());
    }
    ~CTempFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_kept)
            ::unlink(m_path.c_str());
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    // Writes everything, gives it the permissions a new file would get, flushes.
    void Fill(const std::string& bytes, const std::string& shownAs)
    {
        const char* data = bytes.data();
        size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw FortarcError(ExitCode::Failure, "cannot write " + shownAs + ": " +
                                                          (written < 0 ? Reason() : "no space"));
            data += written;
            left -= static_cast<size_t>(written);
        }
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(m_fd, 0666 & ~mask) != 0 || ::fsync(m_fd) != 0)
            throw FortarcError(ExitCode::Failure, "cannot write " + shownAs + ": " + Reason());
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0)
            throw FortarcError(ExitCode::Failure, "cannot write " + shownAs + ": " + Reason());
    }

    const std::string& Path() const { return m_path; }
    void Keep() { m_kept = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_kept = false;
};

} // namespace

CAtomicFilePair::CAtomicFilePair(std::string folder, std::string firstName, std::string secondName)
    : m_folder(std::move(folder)), m_first(std::move(firstName)), m_second(std::move(secondName))
{}

void CAtomicFilePair::Write(const std::string& firstBytes, const std::string& secondBytes) const
{
    const std::string first = m_folder + '/' + m_first;
    const std::string second = m_folder + '/' + m_second;
    CTempFile firstTemp(m_folder, m_first);
    CTempFile secondTemp(m_folder, m_second);
    firstTemp.Fill(firstBytes, first);
    secondTemp.Fill(secondBytes, second);

    // The first file as it stands, to put back if the second cannot follow.
    CTempFile previous(m_folder, m_first + ".old");
    const bool hadFirst = ::access(first.c_str(), F_OK) == 0;
    if (hadFirst) {
        ::unlink(previous.Path().c_str());
        if (::link(first.c_str(), previous.Path().c_str()) != 0)
            throw FortarcError(ExitCode::Failure, "cannot replace " + first + ": " + Reason());
    }
    if (::rename(firstTemp.Path().c_str(), first.c_str()) != 0)
        throw FortarcError(ExitCode::Failure, "cannot replace " + first + ": " + Reason());
    firstTemp.Keep();
    if (::rename(secondTemp.Path().c_str(), second.c_str()) != 0) {
        const std::string reason = Reason();
        if (hadFirst && ::rename(previous.Path().c_str(), first.c_str()) == 0)
            previous.Keep();
        else if (!hadFirst)
            ::unlink(first.c_str());
        throw FortarcError(ExitCode::Failure, "cannot replace " + second + ": " + reason);
    }
    secondTemp.Keep();
    const int folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace fortarc

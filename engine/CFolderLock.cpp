#include "engine/CFolderLock.h"

#include "engine/Diagnostic.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace zrv {

CFolderLock::CFolderLock(const std::string& folder)
    : m_folder(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (!m_folder.IsOpen()) {
        DiagnoseErrno("The folder was not locked", folder, errno);
        return;
    }
    int result = 0;
    do {
        result = ::flock(m_folder.Get(), LOCK_EX);
    } while (result != 0 && errno == EINTR);
    m_held = result == 0;
    if (!m_held)
        DiagnoseErrno("The folder was not locked", folder, errno);
}

} // namespace zrv

#include "sheet/app/CScratchFolder.h"

#include "sheet/app/SheetLogging.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <unistd.h>

namespace zrv::sheet {

namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

} // namespace

CScratchFolder::CScratchFolder()
{
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary && *temporary == '/' ? temporary : "/tmp") + "/zrvsheet-read.XXXXXX";
    if (mkdtemp(pattern.data()))
        m_path = pattern;
    else
        qCWarning(lcSheet, "No scratch folder for the spreadsheet reader: %s",
                  std::strerror(errno));
}

CScratchFolder::~CScratchFolder()
{
    if (m_path.empty())
        return;
    // Only files the reader made, never a folder of its own (it may make none).
    if (const std::unique_ptr<DIR, FolderCloser> folder(opendir(m_path.c_str())); folder) {
        while (const dirent* entry = readdir(folder.get())) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlinkat(dirfd(folder.get()), entry->d_name, 0);
        }
    }
    if (rmdir(m_path.c_str()) != 0)
        qCWarning(lcSheet, "The spreadsheet reader's scratch folder %s stays: %s", m_path.c_str(),
                  std::strerror(errno));
}

} // namespace zrv::sheet

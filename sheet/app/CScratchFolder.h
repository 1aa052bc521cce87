#pragma once

// A private, empty folder in the temporary folder ($TMPDIR, else /tmp) for
// one run of the reader program, removed with whatever it holds when the
// object goes, even after a reader that was killed halfway.

#include <string>

namespace zrv::sheet {

class CScratchFolder final {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace zrv::sheet

#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct stat;

namespace zrv {

// What identifies one state of a file: device and inode (a replaced file is a
// different file), size, and modification and change times to the nanosecond
// (a change within the same second is still a change). The empty stamp stands
// for "never loaded" and differs from every stamp of a real file.
class CFileStamp final {
public:
    CFileStamp() = default;
    explicit CFileStamp(const struct stat& status);

    // The stamp of the file at `path`, or nothing when its status is unavailable.
    static std::optional<CFileStamp> OfPath(const std::string& path);
    static std::optional<CFileStamp> OfFd(int fd);

    bool IsEmpty() const { return !m_known; }
    int64_t Size() const { return m_size; }
    bool operator==(const CFileStamp&) const = default;

private:
    bool m_known = false;
    uint64_t m_device = 0;
    uint64_t m_inode = 0;
    int64_t m_size = 0;
    int64_t m_modifiedSec = 0;
    int64_t m_modifiedNsec = 0;
    int64_t m_changedSec = 0;
    int64_t m_changedNsec = 0;
};

} // namespace zrv

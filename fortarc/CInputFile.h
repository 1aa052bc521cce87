#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fortarc {

// A regular file opened for reading. Opening never waits: a FIFO, device or
// folder is refused before anything is read from it. Reads stop at the size
// the file had when it was opened, so a file that grows meanwhile cannot make
// them take more memory.
class CInputFile final {
public:
    // Throws FortarcError(Failure) when the file cannot be opened or is not a
    // regular file; `followLinks` false refuses a symbolic link too.
    explicit CInputFile(const std::string& path, bool followLinks = true);
    // Nothing when no file of that name exists; throws as above otherwise.
    static std::optional<CInputFile> OpenIfExists(const std::string& path);

    ~CInputFile();
    CInputFile(CInputFile&& other) noexcept;
    CInputFile& operator=(CInputFile&&) = delete;
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    uint64_t Size() const { return m_size; }
    // The first `limit` bytes (fewer when the file is shorter).
    std::string Read(uint64_t limit) const;
    std::string ReadAll() const { return Read(m_size); }

private:
    std::string m_path;
    int m_fd = -1;
    uint64_t m_size = 0;
};

} // namespace fortarc

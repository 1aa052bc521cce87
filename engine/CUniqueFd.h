#pragma once

namespace zrv {

// Owns one POSIX file descriptor and closes it when it goes. Close() reports
// the result of close(2) for writers that must know their data was accepted.
class CUniqueFd final {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd();
    CUniqueFd(CUniqueFd&& other) noexcept : m_fd(other.Release()) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept;
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release();
    // Closes now; false when close(2) failed (the descriptor is gone either way).
    bool Close();

private:
    int m_fd = -1;
};

// Reads exactly `length` bytes from `offset` unless the file ends first;
// returns the bytes read, or -1 on a read error.
long long ReadFully(int fd, char* data, long long length, long long offset);
// Writes all bytes, resuming after short writes; false on any error.
bool WriteFully(int fd, const char* data, long long length);

} // namespace zrv

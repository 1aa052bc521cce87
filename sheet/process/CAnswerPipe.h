#pragma once

// The reader program's answer, read from its pipe as it comes (so only what
// the decoder keeps takes memory) until a deadline.

#include "sheet/io/WorkbookStream.h"

#include <chrono>
#include <stdexcept>

namespace zrv::sheet {

// The deadline passed before the bytes asked for came.
class CAnswerTimeout final : public std::runtime_error {
public:
    CAnswerTimeout() : std::runtime_error("the reader did not answer in time") {}
};

class CAnswerPipe final : public IByteSource {
public:
    CAnswerPipe(int fd, std::chrono::steady_clock::time_point deadline)
        : m_fd(fd), m_deadline(deadline)
    {}

    void Read(char* into, std::size_t size) override;
    bool AtEnd() override;

private:
    // Refills the buffer; false at the end of the stream.
    bool Fill();

    int m_fd;
    std::chrono::steady_clock::time_point m_deadline;
    char m_buffer[65536];
    std::size_t m_start = 0;
    std::size_t m_end = 0;
};

} // namespace zrv::sheet

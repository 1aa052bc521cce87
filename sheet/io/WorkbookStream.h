#pragma once

// The answer of the reader program to the application, as a compact binary
// stream: the workbook read, or the one-line reason why the file could not be
// read. The application decodes it as untrusted input: every count and length
// is held to WorkbookLimits.h before anything is allocated for it, and the
// workbook is handed out only when the whole answer is sound.

#include "sheet/io/WorkbookData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zrv::sheet {

// Where a decoder takes its bytes from.
class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Exactly `size` bytes, or an exception (CReadError when the bytes ran out).
    virtual void Read(char* into, std::size_t size) = 0;
    // True when no byte follows.
    virtual bool AtEnd() = 0;
};

// A source over bytes held in memory.
class CMemorySource final : public IByteSource {
public:
    explicit CMemorySource(std::string_view bytes) : m_bytes(bytes) {}
    void Read(char* into, std::size_t size) override;
    bool AtEnd() override { return m_bytes.empty(); }

private:
    std::string_view m_bytes;
};

std::string EncodeWorkbookAnswer(const WorkbookData& workbook);
std::string EncodeFailureAnswer(std::string_view reason);

struct ReaderAnswer {
    bool read = false;     // the file was read: workbook holds it
    WorkbookData workbook; // when read
    std::string reason;    // when not: one line, valid UTF-8
};

// Decodes one whole answer (nothing may follow it); throws CReadError when the
// stream is damaged, holds more than the limits allow, or ends early.
ReaderAnswer DecodeAnswer(IByteSource& source);

} // namespace zrv::sheet

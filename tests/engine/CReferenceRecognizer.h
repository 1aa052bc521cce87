#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zrv::test {

// The archive reader in its plainest form: one byte at a time through the
// three-state recognizer (plain, after line feed, after percent). The block
// scanner of the engine must agree with it on every input.
class CReferenceRecognizer final {
public:
    explicit CReferenceRecognizer(const std::string& bytes);

    const std::string& Header() const { return m_header; }
    const std::vector<int64_t>& Offsets() const { return m_offsets; }

private:
    std::string m_header;
    std::vector<int64_t> m_offsets;
};

} // namespace zrv::test

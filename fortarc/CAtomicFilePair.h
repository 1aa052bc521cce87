#pragma once

#include <string>

namespace fortarc {

// Replaces two files of one folder together: both are written to temporary
// files beside them and flushed, then renamed into place one after the other.
// When the second rename fails the first file is put back as it was, so a
// failure leaves both files as they stood. Throws FortarcError(Failure).
class CAtomicFilePair final {
public:
    CAtomicFilePair(std::string folder, std::string firstName, std::string secondName);

    void Write(const std::string& firstBytes, const std::string& secondBytes) const;

private:
    std::string m_folder;
    std::string m_first;
    std::string m_second;
};

} // namespace fortarc

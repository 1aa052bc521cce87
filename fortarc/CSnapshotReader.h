#pragma once

#include "component/IFortune.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"

#include <cstdint>
#include <string>

namespace fortarc {

// The header and fortunes of an archive as one look at the file found them.
// Every failed call throws FortarcError.
class CSnapshotReader final {
public:
    CSnapshotReader(ComPtr<IFortuneSnapshot> snapshot, std::string label);

    int32_t Count() const;
    std::u16string Item(int32_t index) const;
    // The same without a copy.
    BString Text(int32_t index) const;
    std::u16string Header() const;

private:
    ComPtr<IFortuneSnapshot> m_snapshot;
    std::string m_label;
};

} // namespace fortarc

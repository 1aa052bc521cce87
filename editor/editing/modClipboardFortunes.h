#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The fortunes the clipboard holds, as the editor windows put them there.
// A clipboard whose text cannot be read holds none (logged).
namespace modClipboardFortunes {

// The clipboard's fortunes in order; false when it holds none.
bool ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes);
int32_t ClipboardFortuneCount();

} // namespace modClipboardFortunes

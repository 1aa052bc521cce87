#include "editor/editing/modClipboardFortunes.h"

#include "desktop/ClipboardText.h"
#include "editor/editing/modClipboardFormat.h"
#include "editor/support/Logging.h"

#include <algorithm>
#include <exception>
#include <limits>

using namespace zrv::desktop;

namespace modClipboardFortunes {

namespace {

// Beyond what the code page conversion takes, or with no application, the
// clipboard's text cannot be read.
std::string ReadClipboardText()
{
    try {
        return GetClipboardText();
    } catch (const std::exception& failure) {
        qCWarning(lcEditor) << "The clipboard's text cannot be read:" << DescribeFailure(failure);
        return {};
    }
}

} // namespace

bool ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes)
{
    rasFortunes.clear();
    const std::string text = ReadClipboardText();
    for (const std::string_view fortune : modClipboardFormat::SplitFortunes(text))
        rasFortunes.push_back(FromAnsi(fortune));
    return !rasFortunes.empty();
}

int32_t ClipboardFortuneCount()
{
    const size_t count = modClipboardFormat::SplitFortunes(ReadClipboardText()).size();
    return static_cast<int32_t>(std::min<size_t>(count, std::numeric_limits<int32_t>::max()));
}

} // namespace modClipboardFortunes

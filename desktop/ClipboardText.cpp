#include "desktop/ClipboardText.h"

#include "runtime/com/CodePage.h"

#include <climits>
#include <QClipboard>
#include <QGuiApplication>
#include <stdexcept>

namespace zrv::desktop {

namespace {

QClipboard& SystemClipboard()
{
    QClipboard* const clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        throw std::runtime_error("no clipboard without an application");
    return *clipboard;
}

int CheckedLength(size_t length)
{
    if (length > static_cast<size_t>(INT_MAX))
        throw std::length_error("text too long for the code page conversion");
    return static_cast<int>(length);
}

} // namespace

std::string ToAnsi(std::u16string_view text)
{
    if (text.empty())
        return {};
    const int length = CheckedLength(text.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    if (needed <= 0 || WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), needed,
                                           nullptr, nullptr) != needed)
        throw std::runtime_error("conversion to the ANSI code page failed");
    return bytes;
}

std::u16string FromAnsi(std::string_view ansiText)
{
    if (ansiText.empty())
        return {};
    const int length = CheckedLength(ansiText.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansiText.data(), length, nullptr, 0);
    std::u16string text(static_cast<size_t>(needed), u'\0');
    if (needed <= 0 ||
        MultiByteToWideChar(CP_ACP, 0, ansiText.data(), length, text.data(), needed) != needed)
        throw std::runtime_error("conversion from the ANSI code page failed");
    return text;
}

void EmptyClipboard()
{
    SystemClipboard().clear(QClipboard::Clipboard);
}

void SetClipboardText(std::string_view ansiText)
{
    const std::u16string text = FromAnsi(ansiText);
    SystemClipboard().setText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())),
                              QClipboard::Clipboard);
}

std::string GetClipboardText()
{
    const QString text = SystemClipboard().text(QClipboard::Clipboard);
    return ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                      static_cast<size_t>(text.size())));
}

} // namespace zrv::desktop

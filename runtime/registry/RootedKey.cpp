#include "runtime/registry/RootedKey.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zrv::reg {

namespace {

struct RootName {
    HKEY root;
    std::string_view longName;
    std::string_view shortName;
};

constexpr std::array<RootName, 3> Roots{{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
}};

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view TrimBackslashes(std::string_view text)
{
    while (!text.empty() && text.front() == '\\')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == '\\')
        text.remove_suffix(1);
    return text;
}

} // namespace

bool ParseRootedKey(std::string_view text, RootedKey& key)
{
    const size_t split = text.find('\\');
    const std::string_view rootText = text.substr(0, split);
    const auto found = std::find_if(Roots.begin(), Roots.end(), [rootText](const RootName& root) {
        return SameText(rootText, root.longName) || SameText(rootText, root.shortName);
    });
    if (found == Roots.end())
        return false;
    key.root = found->root;
    key.rootName = found->longName;
    key.subKey = split == std::string_view::npos ? std::string()
                                                 : std::string(TrimBackslashes(text.substr(split)));
    return true;
}

} // namespace zrv::reg

#pragma once

#include "fortarc/ArchiveLocator.h"
#include "fortarc/CFortuneArchive.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fortarc {

enum class Access { Read, Append, Rewrite };

// What every command needs: how archives are found and opened, how texts come
// in, and where output goes.
class CCommandContext final {
public:
    CCommandContext(bool json, std::function<std::string()> dataFolder);

    bool Json() const { return m_json; }
    // A text as printed: shown with Visible() when standard output is a
    // terminal, as stored otherwise.
    std::string Printable(std::u16string_view text) const;
    std::string DataFolder() const;
    ArchiveRef Resolve(const std::string& argument) const;
    // Checks the file before the component sees it, so that a missing or
    // unwritable archive is reported as such and nothing is changed.
    CFortuneArchive Open(const ArchiveRef& archive, Access access) const;

    // TEXT operand: absent or "-" reads standard input, less one final LF.
    static std::string ReadText(const std::optional<std::string>& operand);
    // A fortune index operand, checked against the archive's count.
    static int32_t ParseIndex(const std::string& operand, int32_t count);

    static void Print(std::string_view bytes);

private:
    bool m_json;
    bool m_terminal;
    std::function<std::string()> m_dataFolder;
    mutable std::optional<std::string> m_dataFolderFound;
};

} // namespace fortarc

#pragma once

#include "fortarc/CCommandContext.h"

#include <optional>
#include <string>
#include <vector>

// The commands that read and change one archive through the component.
namespace fortarc::ArchiveCommands {

void List(const CCommandContext& context, const std::string& archive);
void Show(const CCommandContext& context, const std::string& archive, const std::string& index);
void Count(const CCommandContext& context, const std::string& archive);
void Add(const CCommandContext& context, const std::string& archive,
         const std::optional<std::string>& text);
void Set(const CCommandContext& context, const std::string& archive, const std::string& index,
         const std::optional<std::string>& text);
void Delete(const CCommandContext& context, const std::string& archive,
            const std::vector<std::string>& indexes);
void Header(const CCommandContext& context, const std::string& archive,
            const std::optional<std::string>& text);
void Create(const CCommandContext& context, const std::string& archive);
void Rename(const CCommandContext& context, const std::string& archive, const std::string& newName);
void Archives(const CCommandContext& context);

// A fortune text as the archive will hold it: CR LF line ends, line breaks
// trimmed at both ends. Throws FortarcError(BadText) for a text that would be
// empty or would end in a line holding only "%".
std::u16string StorableFortune(const std::string& bytes, const std::string& what);
// Throws as StorableFortune does unless the archive can hold `text` (CR LF
// line ends) exactly as it is.
void RequireStorable(std::u16string_view text, const std::string& what);

} // namespace fortarc::ArchiveCommands

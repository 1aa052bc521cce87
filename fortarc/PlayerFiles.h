#pragma once

#include "fortarc/CCommandContext.h"

#include <string>

// The files fortune(6) plays: an archive written as them, and their entries
// appended to an archive.
namespace fortarc::PlayerFiles {

// Writes DIR/NAME and DIR/NAME.dat together, NAME being the archive's name.
// A fortune holding a line that is only "%" is refused (fortune(6) would play
// it as two); empty fortunes are left out, as strfile leaves them out. Files
// already there are replaced only when they are a fortune file with its
// strfile index, or with `force`; otherwise FortarcError(NameTaken).
void ExportFortune(const CCommandContext& context, const std::string& archive,
                   const std::string& folder, bool force);

// Appends every entry of FILE (with the delimiter and rotation of FILE.dat
// when there is one; both must be regular files) to the archive: all of
// them, or none when one cannot be stored or the archive fails part-way.
// Each entry is stored exactly as fortune(6) prints it, blank lines at its
// ends included; entries of blank lines only are skipped, and a note on
// standard error counts them.
void ImportFortune(const CCommandContext& context, const std::string& file,
                   const std::string& archive);

} // namespace fortarc::PlayerFiles

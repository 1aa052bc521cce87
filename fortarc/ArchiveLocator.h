#pragma once

#include <functional>
#include <string>

namespace fortarc {

// An archive as the command line names it.
struct ArchiveRef {
    std::string path;  // the file to hand to the component
    std::string name;  // its bare file name
    std::string label; // how messages name it: the argument as given
};

// Bare names an archive may have: not empty, no "/" or NUL, not "." or "..",
// not hidden (a leading ".": the editor lists only visible files).
bool IsSafeArchiveName(const std::string& name);

// An argument holding "/" is a path; any other is the name of an archive of
// the data folder: the file of exactly that name when there is one, else the
// one file whose name differs only in letter case, else the name as given.
// `dataFolder` is asked only for names. Throws FortarcError(Usage) for a name
// that can name no archive.
ArchiveRef ResolveArchive(const std::string& argument,
                          const std::function<std::string()>& dataFolder);

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path);

} // namespace fortarc
